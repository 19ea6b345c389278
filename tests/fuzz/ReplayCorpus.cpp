// SPDX-License-Identifier: GPL-3.0-or-later
// Replays every input of the fuzz corpus through the fuzz target, in the sanitized test build.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);

int main(int argc, char* argv[])
{
    LLVMFuzzerInitialize(&argc, &argv);
    int nInputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return 2;
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   static_cast<size_t>(bytes.size()));
            ++nInputs;
        }
    }
    std::printf("replayed %d inputs\n", nInputs);
    return nInputs > 0 ? 0 : 1;
}
