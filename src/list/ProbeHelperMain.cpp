// tapeweld-probe: reads file paths on standard input, one a line, and answers
// each with what the media library says of the file (see ProbeHelper).
#include "ProbeHelper.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        const QString path = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        const QByteArray answer = ProbeHelper::answerFor(MediaProbe::query(path));
        std::fwrite(answer.constData(), 1, static_cast<size_t>(answer.size()), stdout);
        std::fflush(stdout);
        line.clear();
    }
    return 0;
}
