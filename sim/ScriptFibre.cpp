#include "sim/ScriptFibre.h"

#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#undef Yield  // a do-nothing macro of 16-bit Windows
#else
#include <boost/context/fiber.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define SKIRMORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKIRMORA_ASAN 1
#endif
#endif
#ifdef SKIRMORA_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

#ifndef _WIN32

// Boost.Context: each switch hands over the fibre to come back to. AddressSanitizer is told of every switch,
// or it takes the fibre's stack for a corrupt one of the thread's.
struct ScriptFibre::Context {
    boost::context::fiber script;  // where the script waits (empty while it runs or once it has ended)
    boost::context::fiber host;    // where the frame loop waits while the script runs
    const void* stackBottom = nullptr;
    std::size_t stackSize = 0;
    const void* hostBottom = nullptr;
    std::size_t hostSize = 0;
    void* hostFakeStack = nullptr;
    void* scriptFakeStack = nullptr;
};

namespace {
// A guard page below the stack, and the stack's bounds kept for the sanitizer. The last stack freed is kept
// for the next fibre: a test or a fuzzer makes thousands of simulations, and a fresh stack is page faults
// anew.
struct TrackedStack {
    boost::context::protected_fixedsize_stack stack;
    const void** bottom;
    std::size_t* size;

    static boost::context::stack_context& Spare() {
        thread_local boost::context::stack_context spare;
        return spare;
    }

    boost::context::stack_context allocate() {
        boost::context::stack_context context = Spare();
        Spare() = {};
        if (!context.sp) context = stack.allocate();
        *bottom = static_cast<char*>(context.sp) - context.size;
        *size = context.size;
        return context;
    }
    void deallocate(boost::context::stack_context& context) noexcept {
        if (Spare().sp) {
            stack.deallocate(context);
        } else {
            Spare() = context;
        }
    }
};
}  // namespace

void ScriptFibre::Start(void (*entry)()) {
    entry_ = entry;
    started_ = true;
    stopping_ = finished_ = false;
    Context& c = *context_;
    c.script = boost::context::fiber(
        std::allocator_arg,
        TrackedStack{boost::context::protected_fixedsize_stack(ScriptStackBytes), &c.stackBottom,
                     &c.stackSize},
        [this](boost::context::fiber&& host) {
            context_->host = std::move(host);
#ifdef SKIRMORA_ASAN
            __sanitizer_finish_switch_fiber(nullptr, &context_->hostBottom, &context_->hostSize);
#endif
            Body(*this);
#ifdef SKIRMORA_ASAN
            // The last switch away: the fibre's stack is freed after it.
            __sanitizer_start_switch_fiber(nullptr, context_->hostBottom, context_->hostSize);
#endif
            return std::move(context_->host);
        });
}

void ScriptFibre::SwitchToScript() {
    Context& c = *context_;
#ifdef SKIRMORA_ASAN
    __sanitizer_start_switch_fiber(&c.hostFakeStack, c.stackBottom, c.stackSize);
#endif
    c.script = std::move(c.script).resume();
#ifdef SKIRMORA_ASAN
    __sanitizer_finish_switch_fiber(c.hostFakeStack, nullptr, nullptr);
#endif
}

void ScriptFibre::SwitchToHost() {
    Context& c = *context_;
#ifdef SKIRMORA_ASAN
    __sanitizer_start_switch_fiber(&c.scriptFakeStack, c.hostBottom, c.hostSize);
#endif
    c.host = std::move(c.host).resume();
#ifdef SKIRMORA_ASAN
    __sanitizer_finish_switch_fiber(c.scriptFakeStack, &c.hostBottom, &c.hostSize);
#endif
}

void ScriptFibre::Stop() {
    if (!started_) return;
    stopping_ = true;
    Resume();  // the fibre unwinds and ends; Boost frees its stack
    started_ = false;
}

#else

// The system's fibres: the frame loop's thread becomes a fibre itself (unless it is one already).
struct ScriptFibre::Context {
    void* script = nullptr;
    void* host = nullptr;
    bool converted = false;  // this made the thread a fibre, and turns it back
};

void ScriptFibre::Start(void (*entry)()) {
    entry_ = entry;
    started_ = true;
    stopping_ = finished_ = false;
    Context& c = *context_;
    if (IsThreadAFiber()) {
        // MinGW's GetCurrentFiber reads the thread block through gs:, which GCC takes for a null array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
        c.host = GetCurrentFiber();
#pragma GCC diagnostic pop
    } else {
        c.host = ConvertThreadToFiber(nullptr);
        c.converted = true;
    }
    c.script = CreateFiberEx(
        64 << 10, ScriptStackBytes, 0,
        [](void* fibre) {
            Body(*static_cast<ScriptFibre*>(fibre));
            for (;;)
                static_cast<ScriptFibre*>(fibre)->SwitchToHost();
        },
        this);
    if (!c.script) throw std::runtime_error("cannot create the script's fibre");
}

void ScriptFibre::SwitchToScript() {
    SwitchToFiber(context_->script);
}

void ScriptFibre::SwitchToHost() {
    SwitchToFiber(context_->host);
}

void ScriptFibre::Stop() {
    if (!started_) return;
    stopping_ = true;
    Resume();
    Context& c = *context_;
    DeleteFiber(c.script);
    c.script = nullptr;
    if (c.converted) ConvertFiberToThread();
    c.converted = false;
    started_ = false;
}

#endif

ScriptFibre::ScriptFibre() : context_(std::make_unique<Context>()) {}

ScriptFibre::~ScriptFibre() {
    Stop();
}

void ScriptFibre::Body(ScriptFibre& fibre) {
    if (!fibre.stopping_) {
        try {
            fibre.entry_();
        } catch (const FibreStop&) {
        } catch (...) {
            fibre.failure_ = std::current_exception();  // rethrown on the frame loop's stack
        }
    }
    fibre.finished_ = true;
}

void ScriptFibre::Resume() {
    if (!started_ || finished_) return;
    SwitchToScript();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void ScriptFibre::Yield() {
    SwitchToHost();
    if (stopping_) throw FibreStop{};
}
