// Feeds arbitrary text to the caption markup translator and the caption
// template filler. Whatever the input, the translation may hold only the
// tags the translator itself writes, so nothing else ever reaches the
// rich-text engine.

#include "controls/imagelist/AdvSmoothImageListBoxMarkup.h"

#include <QStringView>

#include <cstddef>
#include <cstdint>

using namespace lumora;

namespace {

// Whether a tag the translator writes starts at `i`: "<", an optional "/",
// a name of its own, then a blank or ">"; or "<br />". Compared as plain
// text: text cut from invalid input may hold a lone surrogate, which the
// expression engine refuses as a subject.
bool OwnTagAt(const QString& out, qsizetype i)
{
    QStringView rest = QStringView(out).mid(i + 1);
    const auto endsName = [&](qsizetype length) {
        return rest.size() > length && (rest[length] == u' ' || rest[length] == u'>');
    };
    if (rest.startsWith(u"br /") && endsName(4))
        return true;
    if (rest.startsWith(u'/'))
        rest = rest.mid(1);
    for (const QStringView name : {u"b", u"i", u"u", u"s", u"font", u"a", u"span"}) {
        if (rest.startsWith(name) && endsName(name.size()))
            return true;
    }
    return false;
}

void CheckOnlyOwnTags(const QString& out)
{
    for (qsizetype i = out.indexOf(QLatin1Char('<')); i >= 0; i = out.indexOf(QLatin1Char('<'), i + 1))
        if (!OwnTagAt(out, i))
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
