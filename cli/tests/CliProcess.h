#pragma once
// Runs the built quillon-cli (or a copy of it) as a child process and collects what it printed.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct CliRun {
    int status = -1; // -1: crashed or did not finish
    QByteArray out;
    QByteArray err;
};

inline CliRun
RunProgram(const QString& program, const QStringList& args, const QString& workDir = QString(),
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    constexpr int kTimeoutMs = 60000;
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setProcessEnvironment(env);
    if (!workDir.isEmpty()) {
        process.setWorkingDirectory(workDir);
    }
    process.start();
    CliRun run;
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline CliRun RunCli(const QStringList& args, const QString& workDir = QString(),
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return RunProgram(QStringLiteral(QUILLON_CLI_PATH), args, workDir, env);
}
