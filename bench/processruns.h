#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

// Times whole runs of one of our programs, start to exit; a run that fails or
// hangs ends the benchmark with an error instead of a figure.
inline void timeProcessRuns(benchmark::State& state, const QString& program,
                            const QStringList& arguments, const QProcessEnvironment& environment)
{
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            state.SkipWithError(qPrintable(program + QStringLiteral(" failed")));
            return;
        }
    }
}
