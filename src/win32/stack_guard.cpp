// The stack protector's guard and its failure handlers, in place of GCC's libssp. libssp seeds the
// guard through the old CryptoAPI, which loads and unloads three crypto libraries (bcrypt,
// crypt32, rsaenh) at every start: about 10 ms under Wine, on a program that starts at every
// log-on. RtlGenRandom gives the guard the same system random bytes without them.
#include <windows.h>

#include <ntsecapi.h>

#include <cstdint>

namespace {

// What Windows reports for a process ended by a broken guard, as for MSVC's /GS.
constexpr UINT kStackBufferOverrun = 0xC0000409;

// The fast-fail interrupt, as MSVC's __fastfail, which this MinGW lacks: the kernel ends the
// process at once and Windows Error Reporting records why, as for other programs' broken guards.
[[noreturn]] void FastFail(unsigned int code) {
  __asm__ __volatile__("int $0x29" : : "c"(code) : "memory");
  __builtin_unreachable();
}

[[noreturn]] void EndAtOnce() {
  // No handler, destructor or exit routine runs on a stack that was overwritten. Windows before 8
  // has no fast fail: the interrupt would be an access violation that handlers could catch.
  if (::IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
    FastFail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
  ::TerminateProcess(::GetCurrentProcess(), kStackBufferOverrun);
  __builtin_trap();
}

// Should the system's random source fail, a value no attacker can read off the program: the
// clocks, the process and thread, and where ASLR put this frame.
uintptr_t CheapSeed() {
  FILETIME time{};
  ::GetSystemTimeAsFileTime(&time);
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  uintptr_t seed = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  seed ^= ::GetCurrentProcessId();
  seed ^= static_cast<uintptr_t>(::GetCurrentThreadId()) << 16;
  seed ^= ::GetTickCount();
  seed ^= static_cast<uintptr_t>(counter.QuadPart);
  seed ^= reinterpret_cast<uintptr_t>(&seed);
  return seed;
}

}  // namespace

extern "C" {

// Read and compared by every protected function; a pointer-sized word, as the compiler expects.
uintptr_t __stack_chk_guard = 0;

[[noreturn]] void __stack_chk_fail() {
  EndAtOnce();
}

// Called by the fortified library calls (_FORTIFY_SOURCE) on an overflow they caught.
[[noreturn]] void __chk_fail() {
  EndAtOnce();
}

}  // extern "C"

namespace {

// Runs before any of the program's own constructors and before WinMain, as libssp's seeding
// did. It is left unchecked itself: its check would compare the old guard with the new one.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  // A zero byte stops string copies at the guard: the low byte, as glibc does. It is cleared
  // before the test for no guard, which a value with only its low byte set would otherwise pass.
  constexpr uintptr_t kLowByte = 0xFF;
  uintptr_t guard = 0;
  if (!RtlGenRandom(&guard, sizeof guard)) guard = 0;
  guard &= ~kLowByte;
  // Should the system's source fail, or give nothing above the low byte: the cheap seed, with a
  // bit above the low byte set so that it is never zero.
  if (guard == 0) guard = (CheapSeed() | 0x100) & ~kLowByte;
  __stack_chk_guard = guard;
}

}  // namespace
