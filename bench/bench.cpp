// Measures keyhush.exe against minimal.exe, a program that does only the same work of the OS,
// under Wine, alternating the two in the same run, and prints each figure for both with the ratio
// and its target. scripts/bench sets up the display, the prefix and the lock command's stand-in
// and starts this driver. It measures and reports; a missed target is a figure, not a failure.
//
// Usage: bench [--rounds N] [--presses N] [--idle-rounds N] [--idle-seconds N]
//              [--clock-ticks N] KEYHUSH_EXE MINIMAL_EXE
// Environment: KEYHUSH_BENCH_STAMPS, the file the stand-in appends its times to;
//              WINEPREFIX, to tell the program's Linux process from other prefixes' copies.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The combination both programs hold.
constexpr UINT kModifiers = MOD_WIN;
constexpr UINT kKey = 'X';
constexpr int kProbeId = 0xB000;

// Long enough for a loaded machine running Wine; a normal round never waits this long.
constexpr DWORD kPatienceMs = 20000;
// Lets the program finish what a start or a press set going before the next reading.
constexpr DWORD kSettleMs = 500;
constexpr int kAttempts = 3;

struct Options {
  int rounds = 11;
  int presses = 5;
  int idleRounds = 3;
  int idleSeconds = 60;
  int clockTicks = 100;  // USER_HZ: the unit of /proc/<pid>/stat's times
  std::string exes[2];
};

// A measurement that could not be taken; the round is tried again.
struct Failure {
  std::string what;
};

// System time in 100 ns units, the clock the stand-in stamps with, so the two compare.
using Ticks = unsigned long long;

Ticks Now() {
  FILETIME time;
  GetSystemTimePreciseAsFileTime(&time);
  return (Ticks{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

double MillisecondsBetween(Ticks from, Ticks to) {
  return (static_cast<double>(to) - static_cast<double>(from)) / 10000.0;
}

std::string Environment(const char* name) {
  char buffer[32768];
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

std::string FileName(const std::string& path) {
  return path.substr(path.find_last_of("\\/") + 1);
}

bool SameText(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Whether another program holds the combination: this process cannot register it then. A free
// combination is given back at once so that the program being started can take it.
bool HotKeyHeld() {
  if (!RegisterHotKey(nullptr, kProbeId, kModifiers, kKey)) return true;
  UnregisterHotKey(nullptr, kProbeId);
  return false;
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pauseMs = 10) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(pauseMs);
  }
  return true;
}

// One started program, ended when this object goes.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Terminate(); }

  void Start(const std::string& exe) {
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_)) {
      throw Failure{"cannot start " + exe + ", error " + std::to_string(GetLastError())};
    }
  }

  // Ends the process as Task Manager would, and waits until its hot key is free again.
  void Terminate() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, kPatienceMs);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
    WaitUntil([] { return !HotKeyHeld(); }, kPatienceMs);
  }

  bool Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
  }
  HANDLE handle() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_{};
};

// Start-up: from the call that starts the program to the moment its hot key is held.
double MeasureStart(Process& process, const std::string& exe) {
  if (!WaitUntil([] { return !HotKeyHeld(); }, kPatienceMs)) {
    throw Failure{"Win + X is held by something else"};
  }
  const Ticks started = Now();
  process.Start(exe);
  for (;;) {
    // Probing once a millisecond keeps the probe's brief hold from getting in the program's way
    // (a clash shows as a start that never holds the key, and the round is tried again).
    Sleep(1);
    if (HotKeyHeld()) return MillisecondsBetween(started, Now());
    if (!process.Running()) throw Failure{"the program ended during its start"};
    if (MillisecondsBetween(started, Now()) > kPatienceMs) {
      throw Failure{"the program never held Win + X"};
    }
  }
}

// Private bytes: PrivateUsage of another process reads 0 under Wine; PagefileUsage is the same
// figure on Windows and real under Wine.
double MeasurePrivateBytes(const Process& process) {
  WaitForInputIdle(process.handle(), kPatienceMs);
  Sleep(kSettleMs);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process.handle(), &counters, sizeof counters)) {
    throw Failure{"GetProcessMemoryInfo, error " + std::to_string(GetLastError())};
  }
  return static_cast<double>(counters.PagefileUsage);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The stand-in's record of one lock command: when it was created and when it began to run.
struct Stamp {
  Ticks created = 0;
  Ticks running = 0;
};

std::optional<Stamp> ReadStamp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  Stamp stamp;
  std::string end;
  // A whole line ends with its CR LF; anything less is still being written.
  if (!(file >> stamp.created >> stamp.running) || !std::getline(file, end) || end != "\r") {
    return std::nullopt;
  }
  return stamp;
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void PressWinX() {
  INPUT inputs[] = {Key(VK_LWIN, false), Key(kKey, false), Key(kKey, true), Key(VK_LWIN, true)};
  if (SendInput(std::size(inputs), inputs, sizeof(INPUT)) != std::size(inputs)) {
    throw Failure{"SendInput, error " + std::to_string(GetLastError())};
  }
}

// Press to lock: from the hot key's press to the lock command's creation and to its first
// instruction, in milliseconds.
std::pair<double, double> MeasurePress(const std::string& stamps) {
  if (!DeleteFileA(stamps.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw Failure{"cannot clear " + stamps + ", error " + std::to_string(GetLastError())};
  }
  const Ticks pressed = Now();
  PressWinX();
  std::optional<Stamp> stamp;
  if (!WaitUntil([&] { return (stamp = ReadStamp(stamps)).has_value(); }, kPatienceMs)) {
    throw Failure{"the lock command did not start"};
  }
  // A second lock command would have shown by now.
  Sleep(kSettleMs);
  const std::string lines = ReadWholeFile(stamps);
  if (std::count(lines.begin(), lines.end(), '\n') != 1) {
    throw Failure{"one press started more than one lock command"};
  }
  return {MillisecondsBetween(pressed, stamp->created),
          MillisecondsBetween(pressed, stamp->running)};
}

// The Linux process that runs `exe` in this prefix, found through drive Z: (the Unix root):
// Wine names the process after the exe, puts its path first on its command line and passes on
// the prefix in its environment.
std::string LinuxProcFolder(const std::string& exe) {
  const std::string prefix = Environment("WINEPREFIX");
  if (prefix.empty()) throw Failure{"WINEPREFIX is not set: cannot tell which process is ours"};
  const std::string name = FileName(exe);
  const std::string wantedEnvironment = "WINEPREFIX=" + prefix + '\0';

  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) throw Failure{"cannot list Z:\\proc"};
  std::string found;
  do {
    const std::string pid = entry.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string folder = "Z:\\proc\\" + pid;
    std::string comm = ReadWholeFile(folder + "\\comm");
    if (!comm.empty() && comm.back() == '\n') comm.pop_back();
    if (!SameText(comm, name.substr(0, 15))) continue;  // the kernel keeps 15 characters
    const std::string commandLine = ReadWholeFile(folder + "\\cmdline");
    const std::string first =
        commandLine.substr(0, commandLine.find_first_of(std::string(" \0", 2)));
    if (!SameText(first, exe)) continue;
    if (ReadWholeFile(folder + "\\environ").find(wantedEnvironment) == std::string::npos) continue;
    found = folder;
    break;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  if (found.empty()) throw Failure{"no Linux process runs " + exe + " in " + prefix};
  return found;
}

// User plus system time of every thread of the Linux process, in clock ticks.
long long CpuTicks(const std::string& procFolder) {
  const std::string stat = ReadWholeFile(procFolder + "\\stat");
  // The name in brackets may hold spaces; the fields after it do not. utime and stime are the
  // 14th and 15th fields, the 12th and 13th after the bracket.
  const size_t bracket = stat.rfind(')');
  if (bracket == std::string::npos) throw Failure{"cannot read " + procFolder + "\\stat"};
  std::istringstream fields(stat.substr(bracket + 1));
  std::string skipped;
  for (int field = 3; field <= 13; ++field) fields >> skipped;
  long long user = 0, system = 0;
  if (!(fields >> user >> system)) throw Failure{"cannot read " + procFolder + "\\stat"};
  return user + system;
}

// CPU time the program uses in `seconds` of doing nothing, in milliseconds.
double MeasureIdleCpu(const Process& process, const std::string& exe, const Options& options) {
  const std::string procFolder = LinuxProcFolder(exe);
  const long long before = CpuTicks(procFolder);
  Sleep(static_cast<DWORD>(options.idleSeconds) * 1000);
  const long long after = CpuTicks(procFolder);
  if (!process.Running()) throw Failure{"the program ended while idle"};
  std::fprintf(stderr, "  %-12s idle %d s: %s\\stat, user + system %lld -> %lld clock ticks\n",
               FileName(exe).c_str(), options.idleSeconds, procFolder.c_str(), before, after);
  return static_cast<double>(after - before) * 1000.0 / options.clockTicks;
}

std::optional<double> Median(std::vector<double> values) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One program's samples over all rounds.
struct Samples {
  std::string exe;
  std::vector<double> startMs, startCpuMs, createdMs, runningMs, privateBytes, idleCpuMs;
};

// One round of one program: its start, its memory, and its presses.
void MeasureRound(Samples& samples, const Options& options, const std::string& stamps) {
  Process process;
  const double start = MeasureStart(process, samples.exe);
  const double privateBytes = MeasurePrivateBytes(process);
  // The start's own work, which a loaded machine does not stretch as it does the wall-clock time.
  const double startCpu =
      static_cast<double>(CpuTicks(LinuxProcFolder(samples.exe))) * 1000.0 / options.clockTicks;
  std::vector<double> created, running;
  for (int press = 0; press < options.presses; ++press) {
    const auto [toCreated, toRunning] = MeasurePress(stamps);
    created.push_back(toCreated);
    running.push_back(toRunning);
  }
  // Only a round measured whole counts.
  samples.startMs.push_back(start);
  samples.startCpuMs.push_back(startCpu);
  samples.privateBytes.push_back(privateBytes);
  samples.createdMs.insert(samples.createdMs.end(), created.begin(), created.end());
  samples.runningMs.insert(samples.runningMs.end(), running.begin(), running.end());
  std::fprintf(stderr,
               "  %-12s start %5.1f ms (CPU %3.0f ms), press to lock command created %5.1f ms, "
               "running %5.1f ms (medians), private %5.0f KB\n",
               FileName(samples.exe).c_str(), start, startCpu, *Median(created), *Median(running),
               privateBytes / 1024);
}

// One idle round of one program: started, one press, then left alone. Kept apart from the other
// rounds, whose starts a minute's pause before them would slow.
void MeasureIdleRound(Samples& samples, const Options& options, const std::string& stamps) {
  Process process;
  MeasureStart(process, samples.exe);
  MeasurePrivateBytes(process);
  MeasurePress(stamps);
  samples.idleCpuMs.push_back(MeasureIdleCpu(process, samples.exe, options));
}

// Tries a round again when a measurement could not be taken; says so on stderr.
template <typename Round>
void Patiently(Round round, const std::string& exe) {
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    try {
      round();
      return;
    } catch (const Failure& failure) {
      std::fprintf(stderr, "  %s: %s (attempt %d of %d)\n", FileName(exe).c_str(),
                   failure.what.c_str(), attempt, kAttempts);
    }
  }
}

std::optional<double> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return static_cast<double>((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

// How a row's target is judged: on the ratio keyhush.exe / minimal.exe, on keyhush.exe's own
// figure, or not at all (a figure shown to explain another).
enum class Judge { Ratio, Own, None };

struct Row {
  std::string figure;
  std::string unit;
  double scale;  // divides the raw figure into the unit
  int decimals;
  std::optional<double> keyhush, minimal;
  Judge judge;
  double limit;  // the target: at most this
  std::string target;
  size_t count;  // samples behind each of the two figures, at least
};

std::string Format(std::optional<double> value, double scale, int decimals) {
  if (!value) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, *value / scale);
  return text;
}

void PrintTable(const std::vector<Row>& rows) {
  std::printf("| %-44s | %11s | %11s | %6s | %-9s | %-4s |\n", "figure (median)", "keyhush.exe",
              "minimal.exe", "ratio", "target", "met");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(13, '-').c_str(),
              std::string(13, '-').c_str(), std::string(8, '-').c_str(),
              std::string(11, '-').c_str(), std::string(6, '-').c_str());
  for (const Row& row : rows) {
    std::optional<double> ratio;
    if (row.keyhush && row.minimal && *row.minimal > 0) ratio = *row.keyhush / *row.minimal;
    // A ratio is judged as it is; a program's own figure in the row's unit.
    const std::optional<double> judged = row.judge == Judge::Ratio ? ratio
                                         : row.keyhush ? std::optional(*row.keyhush / row.scale)
                                                       : std::nullopt;
    const char* met = row.judge == Judge::None ? "-"
                      : !judged                ? "?"
                      : *judged <= row.limit   ? "yes"
                                               : "no";
    const std::string figure =
        row.figure + " (" + row.unit + ", n=" + std::to_string(row.count) + ")";
    std::printf("| %-44s | %11s | %11s | %6s | %-9s | %-4s |\n", figure.c_str(),
                Format(row.keyhush, row.scale, row.decimals).c_str(),
                Format(row.minimal, row.scale, row.decimals).c_str(), Format(ratio, 1, 2).c_str(),
                row.target.c_str(), met);
  }
}

bool ParseOptions(int argc, char** argv, Options& options) {
  int exes = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    int* number = arg == "--rounds"         ? &options.rounds
                  : arg == "--presses"      ? &options.presses
                  : arg == "--idle-rounds"  ? &options.idleRounds
                  : arg == "--idle-seconds" ? &options.idleSeconds
                  : arg == "--clock-ticks"  ? &options.clockTicks
                                            : nullptr;
    if (number) {
      if (++i == argc) return false;
      char* end = nullptr;
      const long value = std::strtol(argv[i], &end, 10);
      if (*end != '\0' || value < 0 || value > 100000) return false;
      *number = static_cast<int>(value);
    } else if (exes < 2 && !arg.starts_with("--")) {
      options.exes[exes++] = argv[i];
    } else {
      return false;
    }
  }
  return exes == 2 && options.rounds > 0 && options.presses > 0 && options.clockTicks > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: bench [--rounds N] [--presses N] [--idle-rounds N] [--idle-seconds N] "
                 "[--clock-ticks N] KEYHUSH_EXE MINIMAL_EXE\n");
    return 2;
  }
  const std::string stamps = Environment("KEYHUSH_BENCH_STAMPS");
  if (stamps.empty()) {
    std::fprintf(stderr, "bench: KEYHUSH_BENCH_STAMPS names no file for the stand-in\n");
    return 2;
  }
  CreateDirectoryA(stamps.substr(0, stamps.find_last_of('\\')).c_str(), nullptr);

  Samples programs[2] = {{.exe = options.exes[0]}, {.exe = options.exes[1]}};
  // A first start loads each program's files from disk; it is not counted.
  std::fprintf(stderr, "warm-up\n");
  for (Samples& program : programs) {
    Samples discarded{.exe = program.exe};
    Patiently([&] { MeasureRound(discarded, {.presses = 1}, stamps); }, program.exe);
  }
  // Alternating which goes first spreads any drift of the machine's load over both.
  for (int round = 0; round < options.rounds; ++round) {
    std::fprintf(stderr, "round %d of %d\n", round + 1, options.rounds);
    for (int turn = 0; turn < 2; ++turn) {
      Samples& program = programs[(round + turn) % 2];
      Patiently([&] { MeasureRound(program, options, stamps); }, program.exe);
    }
  }
  for (int round = 0; round < options.idleRounds; ++round) {
    std::fprintf(stderr, "idle round %d of %d\n", round + 1, options.idleRounds);
    for (int turn = 0; turn < 2; ++turn) {
      Samples& program = programs[(round + turn) % 2];
      Patiently([&] { MeasureIdleRound(program, options, stamps); }, program.exe);
    }
  }

  const Samples& keyhush = programs[0];
  const Samples& minimal = programs[1];
  auto count = [](const std::vector<double>& a, const std::vector<double>& b) {
    return std::min(a.size(), b.size());
  };
  const std::string idleFigure = "CPU in " + std::to_string(options.idleSeconds) + " s idle";
  const std::vector<Row> rows = {
      {"start to hot key held", "ms", 1, 1, Median(keyhush.startMs), Median(minimal.startMs),
       Judge::Ratio, 1.2, "<= 1.2x", count(keyhush.startMs, minimal.startMs)},
      {"CPU time of the start, until idle", "ms", 1, 0, Median(keyhush.startCpuMs),
       Median(minimal.startCpuMs), Judge::None, 0, "-",
       count(keyhush.startCpuMs, minimal.startCpuMs)},
      {"press to lock command created", "ms", 1, 1, Median(keyhush.createdMs),
       Median(minimal.createdMs), Judge::Ratio, 1.1, "<= 1.1x",
       count(keyhush.createdMs, minimal.createdMs)},
      {"press to lock command running", "ms", 1, 1, Median(keyhush.runningMs),
       Median(minimal.runningMs), Judge::None, 0, "-", count(keyhush.runningMs, minimal.runningMs)},
      {"private bytes after start-up", "KB", 1024, 0, Median(keyhush.privateBytes),
       Median(minimal.privateBytes), Judge::Ratio, 1.5, "<= 1.5x",
       count(keyhush.privateBytes, minimal.privateBytes)},
      {idleFigure, "ms", 1, 1, Median(keyhush.idleCpuMs), Median(minimal.idleCpuMs), Judge::Own, 0,
       "0 ms", count(keyhush.idleCpuMs, minimal.idleCpuMs)},
      {"exe size", "KB", 1024, 0, FileSize(keyhush.exe), FileSize(minimal.exe), Judge::Own, 512,
       "<= 512 KB", 1},
  };
  std::printf(
      "keyhush.exe against minimal.exe: %d alternating rounds of a start and %d presses, "
      "then %d alternating rounds of %d s idle\n\n",
      options.rounds, options.presses, options.idleRounds, options.idleSeconds);
  PrintTable(rows);
  return 0;
}
