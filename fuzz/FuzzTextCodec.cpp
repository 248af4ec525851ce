// The text decoder: valid UTF-8 decodes to itself; anything else is read as
// Windows-1252, one character a byte, and never loses a byte.
#include "FuzzCheck.h"
#include "platform/TextCodec.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = TextCodec::decode(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString strict = utf8.decode(bytes);
    if (!utf8.hasError()) {
        FUZZ_CHECK(text == strict);
        FUZZ_CHECK(text.toUtf8() == bytes);
    } else {
        FUZZ_CHECK(text.size() == bytes.size());
        FUZZ_CHECK(text == TextCodec::decodeWindows1252(bytes));
    }
    return 0;
}
