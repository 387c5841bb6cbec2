#include "platform/settings/SettingsData.h"

#include "platform/framework/Exception.h"

#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace lumora {

namespace {

bool IsPlainChar(QChar c)
{
    if (c.isSurrogate())
        return false;
    if (c.isLetterOrNumber())
        return true;
    switch (c.unicode()) {
    case u' ':
    case u'_':
    case u'-':
    case u'.':
    case u'(':
    case u')':
    case u'&':
    case u'+':
    case u',':
    case u'\'':
    case u'!':
    case u'@':
    case u'$':
    case u'~':
        return true;
    default:
        return false;
    }
}

// A name that can stand bare in the file: plain characters and no blanks at
// either end (those would be lost to trimming).
bool IsPlainName(const QString& name)
{
    return !name.isEmpty() && name.front() != u' ' && name.back() != u' ' && std::all_of(name.begin(), name.end(), IsPlainChar);
}

QString Quote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == u'\\') {
            out.append(QLatin1String("\\\\"));
        } else if (u == u'"') {
            out.append(QLatin1String("\\\""));
        } else if (u == u'\n') {
            out.append(QLatin1String("\\n"));
        } else if (u == u'\r') {
            out.append(QLatin1String("\\r"));
        } else if (u == u'\t') {
            out.append(QLatin1String("\\t"));
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(c);
            out.append(text[++i]);
        } else if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.isSurrogate()) {
            // Control characters and unpaired surrogates (which UTF-8 cannot
            // carry) are written as their code unit.
            out.append(QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0')));
        } else {
            out.append(c);
        }
    }
    out.append(u'"');
    return out;
}

QString NameText(const QString& name) { return IsPlainName(name) ? name : Quote(name); }

QString PathText(const QString& path)
{
    const QStringList segments = TSettingsData::SplitPath(path);
    const bool plain = std::all_of(segments.begin(), segments.end(), IsPlainName);
    return plain ? path : Quote(path);
}

// Reads one line of the file.
class LineParser {
public:
    LineParser(const QString& line, const QString& source, int number) : s_(line), source_(source), number_(number) {}

    [[noreturn]] void Fail(const QString& reason) const
    {
        throw ESettingsParseError(QStringLiteral("Cannot read settings file '%1', line %2: %3").arg(source_).arg(number_).arg(reason));
    }

    bool AtEnd() const { return i_ >= s_.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : s_[i_]; }
    void SkipBlanks()
    {
        while (!AtEnd() && (s_[i_] == u' ' || s_[i_] == u'\t'))
            ++i_;
    }
    void Expect(char16_t c, const char* what)
    {
        SkipBlanks();
        if (Peek() != c)
            Fail(QString::fromLatin1(what));
        ++i_;
    }
    void ExpectEnd()
    {
        SkipBlanks();
        if (!AtEnd())
            Fail(QStringLiteral("unexpected text after the entry"));
    }

    QString Quoted()
    {
        ++i_; // opening quote
        QString out;
        while (true) {
            if (AtEnd())
                Fail(QStringLiteral("text without its closing quote"));
            const QChar c = s_[i_++];
            if (c == u'"')
                return out;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (AtEnd())
                Fail(QStringLiteral("text without its closing quote"));
            const QChar e = s_[i_++];
            switch (e.unicode()) {
            case u'\\': out.append(u'\\'); break;
            case u'"': out.append(u'"'); break;
            case u'n': out.append(u'\n'); break;
            case u'r': out.append(u'\r'); break;
            case u't': out.append(u'\t'); break;
            case u'u': {
                bool ok = false;
                const QString hex = s_.mid(i_, 4);
                const uint code = hex.size() == 4 ? hex.toUInt(&ok, 16) : 0;
                if (!ok || !std::all_of(hex.begin(), hex.end(), [](QChar h) { return h.isDigit() || QStringLiteral("abcdefABCDEF").contains(h); }))
                    Fail(QStringLiteral("\\u needs four hexadecimal digits"));
                out.append(QChar(char16_t(code)));
                i_ += 4;
                break;
            }
            default:
                Fail(QStringLiteral("unknown escape \\%1").arg(e));
            }
        }
    }

    // A bare token up to (not including) one of the stop characters.
    QString Bare(const QString& stops)
    {
        const qsizetype start = i_;
        while (!AtEnd() && !stops.contains(s_[i_]))
            ++i_;
        QString token = s_.mid(start, i_ - start);
        while (!token.isEmpty() && (token.back() == u' ' || token.back() == u'\t'))
            token.chop(1);
        return token;
    }

private:
    const QString& s_;
    const QString& source_;
    int number_;
    qsizetype i_ = 0;
};

std::optional<std::int32_t> ParseInteger(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin() + (text.front() == u'-' ? 1 : 0), text.end(),
                                                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!ok || !digitsOnly || text == u"-" || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

} // namespace

QStringList TSettingsData::SplitPath(const QString& path) { return path.split(u'\\', Qt::SkipEmptyParts); }

QString TSettingsData::JoinPath(const QStringList& segments) { return segments.join(u'\\'); }

TSettingsData::Key* TSettingsData::FindKey(const QString& path)
{
    const auto it = keys_.find(Fold(JoinPath(SplitPath(path))));
    return it == keys_.end() ? nullptr : &it->second;
}

const TSettingsData::Key* TSettingsData::FindKey(const QString& path) const
{
    const auto it = keys_.find(Fold(JoinPath(SplitPath(path))));
    return it == keys_.end() ? nullptr : &it->second;
}

TSettingsData::Key& TSettingsData::EnsureKey(const QString& path)
{
    const QString normal = JoinPath(SplitPath(path));
    auto [it, inserted] = keys_.try_emplace(Fold(normal));
    if (inserted)
        it->second.Path = normal;
    return it->second;
}

bool TSettingsData::KeyExists(const QString& path) const
{
    const QString folded = Fold(JoinPath(SplitPath(path)));
    if (folded.isEmpty() || keys_.count(folded) != 0)
        return true;
    // A key with subkeys exists even when it was never written itself.
    const QString prefix = folded + u'\\';
    const auto it = keys_.lower_bound(prefix);
    return it != keys_.end() && it->first.startsWith(prefix);
}

void TSettingsData::CreateKey(const QString& path)
{
    if (!SplitPath(path).isEmpty())
        EnsureKey(path);
}

bool TSettingsData::DeleteKey(const QString& path)
{
    const QString folded = Fold(JoinPath(SplitPath(path)));
    if (folded.isEmpty())
        return false; // the root cannot be deleted
    bool any = keys_.erase(folded) != 0;
    const QString prefix = folded + u'\\';
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.startsWith(prefix);) {
        it = keys_.erase(it);
        any = true;
    }
    return any;
}

std::optional<TSettingsValue> TSettingsData::Value(const QString& path, const QString& name) const
{
    const Key* key = FindKey(path);
    if (key == nullptr)
        return std::nullopt;
    const auto it = key->Index.constFind(Fold(name));
    if (it == key->Index.constEnd())
        return std::nullopt;
    return key->Values[*it].Value;
}

void TSettingsData::SetIn(Key& key, const QString& name, const TSettingsValue& value)
{
    const QString folded = Fold(name);
    const auto it = key.Index.constFind(folded);
    if (it != key.Index.constEnd()) {
        key.Values[*it].Value = value;
        return;
    }
    key.Index.insert(folded, key.Values.size());
    key.Values.push_back(Entry{name, value});
}

void TSettingsData::SetValue(const QString& path, const QString& name, const TSettingsValue& value)
{
    SetIn(EnsureKey(path), name, value);
}

bool TSettingsData::DeleteValue(const QString& path, const QString& name)
{
    Key* key = FindKey(path);
    if (key == nullptr)
        return false;
    const auto found = key->Index.constFind(Fold(name));
    if (found == key->Index.constEnd())
        return false;
    const std::size_t position = *found;
    key->Values.erase(key->Values.begin() + qsizetype(position));
    key->Index.erase(found);
    for (auto& index : key->Index) {
        if (index > position)
            --index;
    }
    return true;
}

QStringList TSettingsData::ValueNames(const QString& path) const
{
    QStringList names;
    if (const Key* key = FindKey(path)) {
        for (const Entry& e : key->Values)
            names.append(e.Name);
    }
    return names;
}

QStringList TSettingsData::SubKeys(const QString& path) const
{
    const QStringList base = SplitPath(path);
    QStringList names;
    for (const auto& [folded, key] : keys_) {
        const QStringList segments = SplitPath(key.Path);
        if (segments.size() <= base.size())
            continue;
        bool below = true;
        for (int i = 0; i < base.size() && below; ++i)
            below = Fold(segments[i]) == Fold(base[i]);
        if (!below)
            continue;
        const QString& child = segments[base.size()];
        if (!std::any_of(names.begin(), names.end(), [&](const QString& n) { return Fold(n) == Fold(child); }))
            names.append(child);
    }
    return names;
}

TSettingsData TSettingsData::Parse(const QByteArray& text, const QString& source)
{
    TSettingsData data;
    const QList<QByteArray> lines = text.split('\n');
    QString currentPath;
    bool inSection = false;
    // The key of the current section, found once per section rather than
    // once per value.
    Key* current = nullptr;
    for (int index = 0; index < lines.size(); ++index) {
        const int number = index + 1;
        QByteArray raw = lines[index];
        if (index == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(raw);
        LineParser p(line, source, number);
        if (decoder.hasError() || line.contains(QChar(0)))
            p.Fail(QStringLiteral("not UTF-8 text"));

        p.SkipBlanks();
        if (p.AtEnd() || p.Peek() == u'#' || p.Peek() == u';')
            continue;

        if (p.Peek() == u'[') {
            p.Expect(u'[', "");
            p.SkipBlanks();
            QString path;
            if (p.Peek() == u'"') {
                path = p.Quoted();
            } else {
                path = p.Bare(QStringLiteral("]"));
                for (const QString& segment : SplitPath(path)) {
                    if (!IsPlainName(segment))
                        p.Fail(QStringLiteral("a key name with special characters must be quoted"));
                }
            }
            p.Expect(u']', "a section needs its closing ]");
            p.ExpectEnd();
            currentPath = JoinPath(SplitPath(path));
            data.CreateKey(currentPath);
            current = nullptr;
            inSection = true;
            continue;
        }

        if (!inSection)
            p.Fail(QStringLiteral("a value before the first [key] line"));
        QString name;
        if (p.Peek() == u'"') {
            name = p.Quoted();
        } else {
            name = p.Bare(QStringLiteral("="));
            if (!IsPlainName(name))
                p.Fail(name.isEmpty() ? QStringLiteral("a line that is neither a [key] nor name=value")
                                      : QStringLiteral("a value name with special characters must be quoted"));
        }
        p.Expect(u'=', "a value line needs name=value");
        p.SkipBlanks();
        if (current == nullptr)
            current = &data.EnsureKey(currentPath);
        if (p.Peek() == u'"') {
            const QString value = p.Quoted();
            p.ExpectEnd();
            SetIn(*current, name, value);
        } else {
            const QString token = p.Bare(QString());
            const auto value = ParseInteger(token);
            if (!value)
                p.Fail(QStringLiteral("the value of '%1' is neither a quoted text nor a 32-bit integer").arg(name));
            SetIn(*current, name, *value);
        }
    }
    return data;
}

QByteArray TSettingsData::Serialize() const
{
    QString out = QStringLiteral("# Lumora Brightness Control settings, one [key] per section.\n"
                                 "# Texts are quoted, integers bare. Written by the program: edit only while it is not running.\n");
    for (const auto& [folded, key] : keys_) {
        out += u'\n' + (u'[' + PathText(key.Path) + u']') + u'\n';
        for (const Entry& e : key.Values) {
            out += NameText(e.Name) + u'=';
            if (const auto* text = std::get_if<QString>(&e.Value))
                out += Quote(*text);
            else
                out += QString::number(std::get<std::int32_t>(e.Value));
            out += u'\n';
        }
    }
    return out.toUtf8();
}

bool operator==(const TSettingsData& a, const TSettingsData& b)
{
    if (a.keys_.size() != b.keys_.size())
        return false;
    for (auto ia = a.keys_.begin(), ib = b.keys_.begin(); ia != a.keys_.end(); ++ia, ++ib) {
        if (ia->first != ib->first || ia->second.Path != ib->second.Path ||
            ia->second.Values.size() != ib->second.Values.size())
            return false;
        for (std::size_t i = 0; i < ia->second.Values.size(); ++i) {
            if (ia->second.Values[i].Name != ib->second.Values[i].Name || ia->second.Values[i].Value != ib->second.Values[i].Value)
                return false;
        }
    }
    return true;
}

} // namespace lumora
