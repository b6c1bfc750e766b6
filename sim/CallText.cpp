#include "sim/CallText.h"

#include "sim/Format.h"

namespace {

void AppendVector(std::string& out, Vec3 v) {
    out += '(';
    AppendFloat(out, v.x);
    out += ", ";
    AppendFloat(out, v.y);
    out += ", ";
    AppendFloat(out, v.z);
    out += ')';
}

// What a pointer argument points at.
void AppendPointee(std::string& out, const NativeCall& c, int k, ArgKind kind) {
    switch (kind) {
        case ArgKind::OutVector:
            AppendVector(out, NativeCall::ReadVector(c.P<unsigned char>(k)));
            break;
        case ArgKind::OutHandle:
            AppendInt(out, *c.P<int32_t>(k));
            break;
        case ArgKind::OutHash:
            AppendHex32(out, *c.P<uint32_t>(k));
            break;
        default:
            break;
    }
}

void AppendArgument(std::string& out, const NativeCall& c, int k, ArgKind kind) {
    switch (kind) {
        case ArgKind::Int:
            AppendInt(out, c.I(k));
            break;
        case ArgKind::Hash:
            AppendHex32(out, c.U(k));
            break;
        case ArgKind::Float:
            AppendFloat(out, c.F(k));
            break;
        case ArgKind::Text:
            AppendQuoted(out, c.S(k));
            break;
        default:
            out += '&';
            AppendPointee(out, c, k, kind);
            break;
    }
}

void AppendResult(std::string& out, ResultKind kind, const NativeCall& c) {
    const uint64_t slot = c.Result()[0];
    switch (kind) {
        case ResultKind::Int:
            out += " -> ";
            AppendInt(out, static_cast<int32_t>(static_cast<uint32_t>(slot)));
            break;
        case ResultKind::Hash:
            out += " -> ";
            AppendHex32(out, static_cast<uint32_t>(slot));
            break;
        case ResultKind::Bool:
            out += slot ? " -> true" : " -> false";
            break;
        case ResultKind::Vector:
            out += " -> ";
            AppendVector(out, NativeCall::ReadVector(reinterpret_cast<const unsigned char*>(c.Result())));
            break;
        case ResultKind::None:
            break;
    }
}

bool IsPointer(ArgKind kind) {
    return kind == ArgKind::OutVector || kind == ArgKind::OutHandle || kind == ArgKind::OutHash;
}

}  // namespace

void AppendCallStart(std::string& out, const NativeInfo& native, const NativeCall& call) {
    out += native.name;
    out += '(';
    for (int k = 0; k < native.argCount; ++k) {
        if (k > 0) out += ", ";
        AppendArgument(out, call, k, native.args[k]);
    }
}

void AppendCallEnd(std::string& out, const NativeInfo& native, const NativeCall& call) {
    out += ')';
    AppendResult(out, native.result, call);
    for (int k = 0; k < native.argCount; ++k) {
        if (!IsPointer(native.args[k])) continue;
        out += "; out ";
        AppendPointee(out, call, k, native.args[k]);
    }
}
