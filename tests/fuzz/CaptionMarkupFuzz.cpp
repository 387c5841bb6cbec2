// Feeds arbitrary text to the caption markup translator and the caption
// template filler. Whatever the input, the translation may hold only the
// tags the translator itself writes, so nothing else ever reaches the
// rich-text engine.

#include "controls/imagelist/AdvSmoothImageListBoxMarkup.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>

using namespace lumora;

namespace {

void CheckOnlyOwnTags(const QString& out)
{
    static const QRegularExpression own(
        QStringLiteral("^<(/?(b|i|u|s|font|a|span)|br /)[ >]"));
    for (qsizetype i = out.indexOf(QLatin1Char('<')); i >= 0; i = out.indexOf(QLatin1Char('<'), i + 1))
        if (!own.match(out.mid(i, 12)).hasMatch())
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckOnlyOwnTags(TranslateMarkup(text, hpText, 0xFF0000, 0x808080));
    CheckOnlyOwnTags(TranslateMarkup(text, hpShadow, 0xFF0000, 0x808080));
    TCaptionFields fields;
    fields.caption = text;
    fields.fileName = text;
    fields.hint = text;
    CheckOnlyOwnTags(TranslateMarkup(FillTemplate(text + QStringLiteral("<#FILENAME><#HINT>"), fields), hpText,
                                     0xFF0000, 0x808080));
    return 0;
}
