// The script's fibre on Linux: Boost.Context. Each switch hands over the fibre to come back to.
#include <boost/context/fiber.hpp>
#include <boost/context/protected_fixedsize_stack.hpp>
#include <utility>

#include "sim/ScriptFibre.h"

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

namespace {

// AddressSanitizer is told of every switch, or it takes the fibre's stack for a corrupt one of the thread's.
// Without it these do nothing.
void StartSwitch([[maybe_unused]] void** fakeStack, [[maybe_unused]] const void* bottom,
                 [[maybe_unused]] std::size_t size) {
#ifdef SKIRMORA_ASAN
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#endif
}
void FinishSwitch([[maybe_unused]] void* fakeStack, [[maybe_unused]] const void** bottom,
                  [[maybe_unused]] std::size_t* size) {
#ifdef SKIRMORA_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, bottom, size);
#endif
}

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

ScriptFibre::ScriptFibre() : context_(std::make_unique<Context>()) {}

ScriptFibre::~ScriptFibre() {
    Stop();
}

void ScriptFibre::Create() {
    Context& c = *context_;
    c.script = boost::context::fiber(std::allocator_arg,
                                     TrackedStack{boost::context::protected_fixedsize_stack(ScriptStackBytes),
                                                  &c.stackBottom, &c.stackSize},
                                     [this](boost::context::fiber&& host) {
                                         context_->host = std::move(host);
                                         FinishSwitch(nullptr, &context_->hostBottom, &context_->hostSize);
                                         Body(*this);
                                         // The last switch away: the fibre's stack is freed after it.
                                         StartSwitch(nullptr, context_->hostBottom, context_->hostSize);
                                         return std::move(context_->host);
                                     });
}

void ScriptFibre::Resume() {
    if (!started_ || finished_) return;
    Context& c = *context_;
    StartSwitch(&c.hostFakeStack, c.stackBottom, c.stackSize);
    c.script = std::move(c.script).resume();
    FinishSwitch(c.hostFakeStack, nullptr, nullptr);
    AfterResume();
}

void ScriptFibre::Yield() {
    Context& c = *context_;
    StartSwitch(&c.scriptFakeStack, c.hostBottom, c.hostSize);
    c.host = std::move(c.host).resume();
    FinishSwitch(c.scriptFakeStack, &c.hostBottom, &c.hostSize);
    AfterYield();
}

// The fibre has ended, and Boost has freed its stack.
void ScriptFibre::Release() {}
