#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <optional>
#include <string>
#include <vector>

namespace estaciones::test {

// How a program run to its end went: its exit code and the peak of its
// resident memory, which wait4 gives for that one child (getrusage of all
// children would mix in every program the test started before).
struct EjecucionMedida {
    int codigo = -1;
    long picoKiB = 0;
};

// Runs `programa` with `argumentos` and `entorno`, its output to /dev/null;
// nullopt when it cannot be started.
inline std::optional<EjecucionMedida> ejecutarMidiendoMemoria(
    const QString& programa, const QStringList& argumentos,
    const QProcessEnvironment& entorno = QProcessEnvironment::systemEnvironment()) {
    std::vector<std::string> textos{programa.toStdString()};
    for (const QString& a : argumentos) {
        textos.push_back(a.toStdString());
    }
    std::vector<std::string> variables;
    for (const QString& v : entorno.toStringList()) {
        variables.push_back(v.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& t : textos) {
        argv.push_back(t.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& v : variables) {
        envp.push_back(v.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&acciones, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int fallo = posix_spawn(&pid, argv[0], &acciones, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&acciones);
    if (fallo != 0) {
        return std::nullopt;
    }
    int estado = 0;
    rusage uso{};
    if (::wait4(pid, &estado, 0, &uso) != pid) {
        return std::nullopt;
    }
    return EjecucionMedida{WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, uso.ru_maxrss};
}

} // namespace estaciones::test
