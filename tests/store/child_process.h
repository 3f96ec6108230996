#pragma once
// Helper processes for tests of several users on one table: a forked child
// runs a function, and the two talk through pipes a line at a time.

#include <QByteArray>

#include <cstdio>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace store::testing {

// Runs fn in a child process; its return value is the exit status.
inline pid_t spawn(const std::function<int()>& fn)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    return pid;
}

inline int waitExit(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline void writeLine(int fd, const QByteArray& line)
{
    const QByteArray l = line + '\n';
    (void)!::write(fd, l.constData(), size_t(l.size()));
}

inline QByteArray readLine(int fd)
{
    QByteArray out;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        out.append(c);
    return out;
}

} // namespace store::testing
