// A full artwork export as a user runs it: the real program with --export-artwork into a fresh folder,
// without a display. Runs it a few times and prints each run's wall time and the median, beside the
// program's own line.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int runs = 3;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir folder;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        program.start(QStringLiteral(HALVRICK_PROGRAM), {QStringLiteral("--export-artwork"), folder.path()});
        if (!program.waitForFinished(300'000) || program.exitStatus() != QProcess::NormalExit ||
            program.exitCode() != 0) {
            std::printf("export failed: %s\n", program.readAllStandardOutput().trimmed().constData());
            return 1;
        }
        seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        std::printf("run %d: %.2f s (%s)\n", run + 1, seconds.back(),
                    program.readAllStandardOutput().trimmed().constData());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("full --export-artwork, median of %d: %.2f s\n", runs, seconds[seconds.size() / 2]);
    return 0;
}
