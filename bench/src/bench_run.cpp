// bench_run.cpp - bench-run ROUNDS [PAUSE-MS] ::: NAME [VAR=VALUE...] CMD ARGS... [::: ...]:
// runs the commands round-robin (each with its VAR=VALUE settings added to the environment),
// PAUSE-MS (default 0) apart so that a server a command talked to (the X server) has settled before
// the next one starts (the first of each round rotating, so machine noise falls on all alike),
// output discarded, and prints one line per command: name, median and fastest wall time in ms,
// median processor time (user + system) in ms, peak memory in KiB (the largest maximum resident set
// size that wait4 reports, as /usr/bin/time -v does) and the number of runs that failed (non-zero
// status or a signal).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

struct SCommand {
    std::string m_strName;
    std::vector<char*> m_arrArgv;
    std::vector<char*> m_arrEnv;  // the environment, with the command's settings first
    std::vector<double> m_arrMs;
    std::vector<double> m_arrCpuMs;
    long m_nMaxRssKb = 0;
    int m_nFailures = 0;
};

bool RunOnce(SCommand& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, command.m_arrArgv[0], &actions, nullptr,
                                     command.m_arrArgv.data(), command.m_arrEnv.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    const auto end = std::chrono::steady_clock::now();
    command.m_arrMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    command.m_arrCpuMs.push_back(ms(usage.ru_utime) + ms(usage.ru_stime));
    command.m_nMaxRssKb = std::max(command.m_nMaxRssKb, usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int first = argc > 2 && std::strcmp(argv[2], ":::") != 0 ? 3 : 2;
    if (argc < first + 3 || std::strcmp(argv[first], ":::") != 0) {
        std::fputs(
            "usage: bench-run ROUNDS [PAUSE-MS] ::: NAME [VAR=VALUE...] CMD [ARGS...] [::: ...]\n",
            stderr);
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    const int pauseMs = first == 3 ? std::max(0, std::atoi(argv[2])) : 0;
    std::vector<SCommand> commands;
    for (int i = first; i < argc; ++i) {
        if (std::strcmp(argv[i], ":::") == 0) {
            if (i + 2 >= argc) {
                std::fputs("bench-run: a command needs a name and a program\n", stderr);
                return 2;
            }
            commands.emplace_back();
            commands.back().m_strName = argv[++i];
            continue;
        }
        SCommand& command = commands.back();
        // VAR=VALUE before the program is a setting (the first one found wins).
        const std::string_view arg = argv[i];
        const size_t equals = arg.find('=');
        if (command.m_arrArgv.empty() && equals != std::string_view::npos && equals > 0 &&
            arg.find('/') > equals)
            command.m_arrEnv.push_back(argv[i]);
        else
            command.m_arrArgv.push_back(argv[i]);
    }
    for (SCommand& command : commands) {
        command.m_arrArgv.push_back(nullptr);
        for (char** e = environ; *e != nullptr; ++e) command.m_arrEnv.push_back(*e);
        command.m_arrEnv.push_back(nullptr);
    }

    for (int round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < commands.size(); ++k) {
            SCommand& command = commands[(k + static_cast<size_t>(round)) % commands.size()];
            if (!RunOnce(command))
                ++command.m_nFailures;
            if (pauseMs > 0)
                usleep(static_cast<useconds_t>(pauseMs) * 1000);
        }
    }
    for (SCommand& command : commands) {
        std::vector<double>& ms = command.m_arrMs;
        std::sort(ms.begin(), ms.end());
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%ld\t%d\n", command.m_strName.c_str(), Median(ms),
                    ms.empty() ? 0.0 : ms.front(), Median(command.m_arrCpuMs), command.m_nMaxRssKb,
                    command.m_nFailures);
    }
    return 0;
}
