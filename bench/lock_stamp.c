/* Stands in for rundll32.exe while the benchmark runs: records when the lock command was created
 * (the process's creation time, taken when the starter's CreateProcess asked for it) and when it
 * began to run (its first instruction), and exits. Both are system times in 100 ns units, the
 * clock GetSystemTimePreciseAsFileTime reads, so they compare with the driver's own.
 *
 * One line per start, appended to %KEYHUSH_BENCH_STAMPS%:  <created> <running> */
#include <windows.h>

static ULONGLONG Ticks(FILETIME time) {
  return ((ULONGLONG)time.dwHighDateTime << 32) | time.dwLowDateTime;
}

/* Writes `value` in decimal at `out`; returns the position after it. */
static char* PutNumber(char* out, ULONGLONG value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = (char)('0' + value % 10);
    value /= 10;
  } while (value);
  while (count) *out++ = digits[--count];
  return out;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  FILETIME running;
  GetSystemTimePreciseAsFileTime(&running);
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;

  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 1;

  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("KEYHUSH_BENCH_STAMPS", path, sizeof path);
  if (length == 0 || length >= sizeof path) return 1;

  char line[64];
  char* end = PutNumber(line, Ticks(created));
  *end++ = ' ';
  end = PutNumber(end, Ticks(running));
  *end++ = '\r';
  *end++ = '\n';

  /* Appending in one write keeps lines whole. */
  HANDLE file =
      CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line, (DWORD)(end - line), &written, NULL);
  CloseHandle(file);
  return ok && written == (DWORD)(end - line) ? 0 : 1;
}
