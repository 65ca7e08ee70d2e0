// Image records as the loader reads them: the first byte picks the text of
// the ImageType field, the rest is the blob. Whatever the bytes, the loader
// gives a bitmap or its message, and a bitmap it gives is whole.
#include "GR32_Extra.h"

#include "vcl/Messages.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Mostly the two real codes, now and then what a broken table might hold.
const char* const kTypeTexts[] = {"0", "1", "0", "1", "0", "1", "2", "-1", "", "1.0", " 1", "01",
                                  "gif", "4294967297"};

// Never destroyed: the process ends with the fuzzer, after Qt's own statics.
QGuiApplication* g_app = nullptr;
TMessageRecorder* g_messages = nullptr;
volatile quint32 g_sink = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = new QGuiApplication(*argc, *argv);
    g_messages = new TMessageRecorder;  // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QString type = QString::fromLatin1(kTypeTexts[data[0] % std::size(kTypeTexts)]);
    const QByteArray blob(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    g_messages->clear();
    const std::unique_ptr<TBitmap32> bitmap =
        DecodeImageBlob(blob, type, QStringLiteral("Fuzz"), QStringLiteral("BitmapTable"));
    if (!bitmap) {
        // A refusal is always said.
        if (g_messages->messages().size() != 1)
            std::abort();
        return 0;
    }
    if (!g_messages->messages().isEmpty() || bitmap->Empty())
        std::abort();
    // Touch every pixel the loader claims to have, and use the picture the
    // way the scenes do: as a mask of itself.
    quint32 sum = 0;
    for (int y = 0; y < bitmap->Height(); ++y) {
        const TColor32* line = bitmap->ScanLine(y);
        for (int x = 0; x < bitmap->Width(); ++x)
            sum += line[x];
    }
    TBitmap32 copy;
    copy.Assign(bitmap.get());
    ApplyAlphaMask(&copy, bitmap.get());
    g_sink = sum;
    return 0;
}
