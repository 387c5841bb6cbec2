#include "controls/imagelist/AdvSmoothImageListBoxMarkup.h"

#include <QColor>
#include <QLocale>
#include <QRegularExpression>

#include <map>
#include <optional>
#include <vector>

namespace lumora {

namespace {

QString HexColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)).name(QColor::HexRgb);
}

// A colour attribute as "#rrggbb", or empty when it names no colour. Besides
// what Qt reads (#rgb, #rrggbb, SVG names) the control's own names such as
// "clRed" are understood.
QString ColorAttribute(QString value)
{
    value = value.trimmed();
    static const std::map<QString, TColor> named = {
        {"clblack", clBlack},   {"clmaroon", clMaroon}, {"clgreen", clGreen},   {"clolive", clOlive},
        {"clnavy", clNavy},     {"clpurple", clPurple}, {"clteal", clTeal},     {"clgray", clGray},
        {"clsilver", clSilver}, {"clred", clRed},       {"cllime", clLime},     {"clyellow", clYellow},
        {"clblue", clBlue},     {"clfuchsia", clFuchsia}, {"claqua", clAqua},   {"clwhite", clWhite},
    };
    if (const auto it = named.find(value.toLower()); it != named.end())
        return HexColor(it->second);
    // Only plain names and hex forms: no rgb() or other functional syntax.
    static const QRegularExpression plain(QStringLiteral("^(#[0-9A-Fa-f]{3}|#[0-9A-Fa-f]{6}|[A-Za-z]{3,20})$"));
    if (!plain.match(value).hasMatch())
        return {};
    const QColor c = QColor::fromString(value);
    if (!c.isValid())
        return {};
    return c.name(QColor::HexRgb);
}

QString EscapeAttribute(const QString& v)
{
    QString out = EscapeMarkup(v);
    out.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return out;
}

struct Tag {
    QString name; // lower case
    bool closing = false;
    std::map<QString, QString> attributes; // lower-case names
};

// Parses the inside of "<...>". Returns nothing when it is not a tag (a '<'
// followed by something other than a letter is plain text).
std::optional<Tag> ParseTag(QStringView body)
{
    Tag tag;
    qsizetype i = 0;
    if (i < body.size() && body[i] == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    if (i >= body.size() || !body[i].isLetter())
        return std::nullopt;
    const qsizetype nameStart = i;
    while (i < body.size() && (body[i].isLetterOrNumber()))
        ++i;
    tag.name = body.mid(nameStart, i - nameStart).toString().toLower();
    while (i < body.size()) {
        while (i < body.size() && (body[i].isSpace() || body[i] == QLatin1Char('/')))
            ++i;
        const qsizetype attrStart = i;
        while (i < body.size() && !body[i].isSpace() && body[i] != QLatin1Char('=') && body[i] != QLatin1Char('/'))
            ++i;
        if (i == attrStart)
            break;
        const QString attr = body.mid(attrStart, i - attrStart).toString().toLower();
        while (i < body.size() && body[i].isSpace())
            ++i;
        QString value;
        if (i < body.size() && body[i] == QLatin1Char('=')) {
            ++i;
            while (i < body.size() && body[i].isSpace())
                ++i;
            if (i < body.size() && (body[i] == QLatin1Char('"') || body[i] == QLatin1Char('\''))) {
                const QChar quote = body[i++];
                const qsizetype valueStart = i;
                while (i < body.size() && body[i] != quote)
                    ++i;
                value = body.mid(valueStart, i - valueStart).toString();
                if (i < body.size())
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < body.size() && !body[i].isSpace())
                    ++i;
                value = body.mid(valueStart, i - valueStart).toString();
            }
        }
        tag.attributes.emplace(attr, value);
    }
    return tag;
}

// The length of an entity at the start of `s` that may pass unchanged, or 0.
qsizetype EntityLength(QStringView s)
{
    static const QRegularExpression entity(
        QStringLiteral("^&(amp|lt|gt|nbsp|quot|apos|#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6});"));
    const QRegularExpressionMatch m = entity.match(s.left(12).toString());
    if (!m.hasMatch())
        return 0;
    const QString body = m.captured(1);
    if (body.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = (body.size() > 1 && (body[1] == QLatin1Char('x') || body[1] == QLatin1Char('X')))
                              ? body.mid(2).toUInt(&ok, 16)
                              : body.mid(1).toUInt(&ok, 10);
        // No control characters, no surrogates, nothing past Unicode.
        if (!ok || code < 0x20 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return 0;
    }
    return m.capturedLength(0);
}

struct OpenElement {
    QString name;
    QString close;
};

class Translator {
public:
    Translator(THTMLPass pass, TColor urlColor, TColor shadowColor)
        : pass_(pass), url_(HexColor(urlColor)), shadow_(HexColor(shadowColor))
    {
    }

    QString Run(const QString& markup)
    {
        const QStringView s(markup);
        qsizetype i = 0;
        while (i < s.size()) {
            const QChar c = s[i];
            if (c == QLatin1Char('<')) {
                const qsizetype end = s.indexOf(QLatin1Char('>'), i + 1);
                std::optional<Tag> tag;
                if (end > i)
                    tag = ParseTag(s.mid(i + 1, end - i - 1));
                if (tag) {
                    Apply(*tag);
                    i = end + 1;
                    continue;
                }
                out_ += QStringLiteral("&lt;");
            } else if (c == QLatin1Char('&')) {
                const qsizetype n = EntityLength(s.mid(i));
                if (n > 0) {
                    out_ += s.mid(i, n);
                    i += n;
                    continue;
                }
                out_ += QStringLiteral("&amp;");
            } else if (c == QLatin1Char('>')) {
                out_ += QStringLiteral("&gt;");
            } else {
                out_ += c;
            }
            ++i;
        }
        while (!open_.empty())
            CloseTop();
        return out_;
    }

private:
    void Apply(const Tag& tag)
    {
        if (tag.name == QLatin1String("br")) {
            if (!tag.closing)
                out_ += QStringLiteral("<br />");
            return;
        }
        if (tag.closing) {
            Close(tag.name);
            return;
        }
        const auto attr = [&](const char* name) {
            const auto it = tag.attributes.find(QString::fromLatin1(name));
            return it == tag.attributes.end() ? QString() : it->second;
        };
        const bool text = pass_ == hpText;
        if (tag.name == QLatin1String("b") || tag.name == QLatin1String("i") || tag.name == QLatin1String("u") ||
            tag.name == QLatin1String("s")) {
            Open(tag.name, QStringLiteral("<%1>").arg(tag.name), QStringLiteral("</%1>").arg(tag.name));
        } else if (tag.name == QLatin1String("font")) {
            QString open = QStringLiteral("<font");
            // The shadow pass shows only <shad> parts, all in the shadow colour.
            if (const QString color = ColorAttribute(attr("color")); text && !color.isEmpty())
                open += QStringLiteral(" color=\"%1\"").arg(color);
            static const QRegularExpression size(QStringLiteral("^[+-]?[1-7]$"));
            if (const QString v = attr("size").trimmed(); size.match(v).hasMatch())
                open += QStringLiteral(" size=\"%1\"").arg(v);
            if (const QString face = attr("face").trimmed(); !face.isEmpty())
                open += QStringLiteral(" face=\"%1\"").arg(EscapeAttribute(face));
            Open(tag.name, open + QLatin1Char('>'), QStringLiteral("</font>"));
        } else if (tag.name == QLatin1String("a")) {
            if (text)
                Open(tag.name,
                     QStringLiteral("<a href=\"%1\"><span style=\"color:%2; text-decoration:underline\">")
                         .arg(EscapeAttribute(attr("href")), url_),
                     QStringLiteral("</span></a>"));
            else
                Open(tag.name, QStringLiteral("<span style=\"text-decoration:underline\">"),
                     QStringLiteral("</span>"));
        } else if (tag.name == QLatin1String("shad")) {
            if (text)
                Open(tag.name, QString(), QString());
            else
                Open(tag.name, QStringLiteral("<span style=\"color:%1\">").arg(shadow_), QStringLiteral("</span>"));
        }
        // Anything else is dropped; its content stays as text.
    }

    void Open(const QString& name, const QString& open, const QString& close)
    {
        out_ += open;
        open_.push_back({name, close});
    }

    void CloseTop()
    {
        out_ += open_.back().close;
        open_.pop_back();
    }

    // Closes the innermost open element of that name and everything opened
    // inside it; a closing tag without an opener is ignored.
    void Close(const QString& name)
    {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            if (it->name != name)
                continue;
            const size_t keep = size_t(open_.rend() - it) - 1;
            while (open_.size() > keep)
                CloseTop();
            return;
        }
    }

    THTMLPass pass_;
    QString url_;
    QString shadow_;
    QString out_;
    std::vector<OpenElement> open_;
};

} // namespace

QString TranslateMarkup(const QString& markup, THTMLPass pass, TColor urlColor, TColor shadowColor)
{
    return Translator(pass, urlColor, shadowColor).Run(markup);
}

bool HasShadow(const QString& markup)
{
    return markup.contains(QLatin1String("<shad"), Qt::CaseInsensitive);
}

QString EscapeMarkup(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QStringLiteral("&amp;");
        else if (c == QLatin1Char('<'))
            out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

QString FillTemplate(const QString& templ, const TCaptionFields& fields)
{
    // One pass from left to right, so a value holding a placeholder's name is
    // never expanded again.
    const std::pair<QLatin1String, QString> values[] = {
        {QLatin1String("<#CAPTION>"), fields.caption},
        {QLatin1String("<#FILENAME>"), EscapeMarkup(fields.fileName)},
        {QLatin1String("<#FILESIZE>"), QString::number(fields.fileSize)},
        {QLatin1String("<#FILEDATE>"),
         fields.fileDate.isValid() ? EscapeMarkup(QLocale().toString(fields.fileDate, QLocale::ShortFormat))
                                   : QString()},
        {QLatin1String("<#HINT>"), EscapeMarkup(fields.hint)},
    };
    QString out;
    qsizetype i = 0;
    while (i < templ.size()) {
        bool replaced = false;
        if (templ[i] == QLatin1Char('<')) {
            for (const auto& [name, value] : values) {
                if (QStringView(templ).mid(i).startsWith(name, Qt::CaseInsensitive)) {
                    out += value;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += templ[i++];
    }
    return out;
}

} // namespace lumora
