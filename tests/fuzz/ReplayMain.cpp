// Without libFuzzer (the ordinary build), a fuzz target runs every file of the
// folders (or files) it is given once: the seed corpus and the minimized findings, as a
// regression test that needs no clang.
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int inputs = 0;
    const auto replay = [&inputs](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "no se puede leer %s\n", qPrintable(path));
            std::exit(1);
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size()));
        ++inputs;
    };
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isFile()) {
            replay(path);
            continue;
        }
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            replay(files.next());
        }
    }
    std::printf("%d entradas repetidas\n", inputs);
    return inputs > 0 ? 0 : 1;
}
