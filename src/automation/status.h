// Failure statuses the system meets, named once. Automation members report
// HRESULT-style statuses; the system's own arithmetic and conversions report
// the runtime's error numbers in the same 32-bit form.
#pragma once

#include <cstdint>

namespace velmora::status {

inline constexpr std::uint32_t kOk = 0;

// Raised by automation members (IDispatch).
inline constexpr std::uint32_t kDispException = 0x80020009;   // DISP_E_EXCEPTION
inline constexpr std::uint32_t kMemberNotFound = 0x80020003;  // DISP_E_MEMBERNOTFOUND
inline constexpr std::uint32_t kTypeMismatch = 0x80020005;    // DISP_E_TYPEMISMATCH
inline constexpr std::uint32_t kUnknownName = 0x80020006;     // DISP_E_UNKNOWNNAME
inline constexpr std::uint32_t kDispOverflow = 0x8002000A;    // DISP_E_OVERFLOW
inline constexpr std::uint32_t kBadIndex = 0x8002000B;        // DISP_E_BADINDEX
inline constexpr std::uint32_t kBadParamCount = 0x8002000E;   // DISP_E_BADPARAMCOUNT
inline constexpr std::uint32_t kInvalidArg = 0x80070057;      // E_INVALIDARG
inline constexpr std::uint32_t kFail = 0x80004005;            // E_FAIL

// The system's own steps (runtime error numbers 6, 7, 9, 13, 424).
inline constexpr std::uint32_t kOverflow = 0x800A0006;
inline constexpr std::uint32_t kOutOfMemory = 0x800A0007;
inline constexpr std::uint32_t kSubscriptOutOfRange = 0x800A0009;
inline constexpr std::uint32_t kConversionMismatch = 0x800A000D;
inline constexpr std::uint32_t kObjectRequired = 0x800A01A8;

// Finding and creating objects by ProgID.
inline constexpr std::uint32_t kInvalidProgId = 0x800401F3;       // CO_E_CLASSSTRING
inline constexpr std::uint32_t kUnavailable = 0x800401E3;         // MK_E_UNAVAILABLE
inline constexpr std::uint32_t kClassNotRegistered = 0x80040154;  // REGDB_E_CLASSNOTREG

// The other application went away or is busy.
inline constexpr std::uint32_t kServerUnavailable = 0x800706BA;  // RPC_S_SERVER_UNAVAILABLE
inline constexpr std::uint32_t kCallRejected = 0x80010001;       // RPC_E_CALL_REJECTED
inline constexpr std::uint32_t kDisconnected = 0x80010108;       // RPC_E_DISCONNECTED

}  // namespace velmora::status
