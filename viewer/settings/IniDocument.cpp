#include "settings/IniDocument.h"

#include "settings/SettingsConstants.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// Unsigned conversion in the manner of the C library's strtoul, for a 32-bit
// unsigned long: leading white space, an optional sign (a minus negates in
// unsigned arithmetic), a 0x prefix when radix is 16 or 0 (0 also takes a
// leading 0 as octal), digits up to the first that does not belong to the
// radix; an overflow saturates at 0xFFFFFFFF. No digits gives 0.
uint32_t ToUnsigned32(const QString& text, int radix)
{
    if (radix < 0 || radix == 1 || radix > 36)
        return 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    auto digitAt = [&](qsizetype at) -> int {
        if (at >= n)
            return -1;
        const char16_t c = text.at(at).unicode();
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'z')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'Z')
            return c - u'A' + 10;
        return -1;
    };
    const bool hexPrefix = i + 1 < n && text.at(i) == u'0'
        && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X');
    if (radix == 0) {
        if (hexPrefix && digitAt(i + 2) >= 0 && digitAt(i + 2) < 16) {
            radix = 16;
            i += 2;
        } else if (i < n && text.at(i) == u'0') {
            radix = 8;
        } else {
            radix = 10;
        }
    } else if (radix == 16 && hexPrefix && digitAt(i + 2) >= 0 && digitAt(i + 2) < 16) {
        i += 2;
    }
    uint64_t value = 0;
    bool overflow = false;
    for (;; ++i) {
        const int d = digitAt(i);
        if (d < 0 || d >= radix)
            break;
        value = value * uint64_t(radix) + uint64_t(d);
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    if (overflow)
        return 0xFFFFFFFFu;
    const auto result = uint32_t(value);
    return negative ? uint32_t(0u - result) : result;
}

void AppendUtf16Le(QByteArray& out, const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        out.append(char(u & 0xFF));
        out.append(char(u >> 8));
    }
}

} // namespace

bool CIniDocument::LoadFile(const QString& path)
{
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size > Settings::kMaxIniFileBytes)
        return false;
    if (size == 0)
        return true;
    // Two zero bytes beyond the file end the text even if it holds no line feed.
    QByteArray buffer(qsizetype(size) + 2, '\0');
    qint64 total = 0;
    while (total < size) {
        const qint64 got = file.read(buffer.data() + total, size - total);
        if (got <= 0)
            return false; // failed or short read
        total += got;
    }
    return LoadBuffer(buffer.constData(), qsizetype(size));
}

bool CIniDocument::LoadBuffer(const char* bytes, qsizetype length)
{
    if (!bytes || length < 2)
        return false;
    const auto* u = reinterpret_cast<const unsigned char*>(bytes);
    QString text;
    if (u[0] == 0xFF && u[1] == 0xFE) {
        const qsizetype count = (length - 2) / 2;
        text.resize(count);
        QChar* out = text.data();
        for (qsizetype i = 0; i < count; ++i) {
            const unsigned char* p = u + 2 + 2 * i;
            out[i] = QChar(char16_t(p[0] | (p[1] << 8)));
        }
    } else {
        // Code page 0: the local 8-bit encoding.
        text = QString::fromLocal8Bit(QByteArrayView(bytes, length));
        // A byte-order mark of that encoding is not part of the text.
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
    }
    Parse(text);
    return true;
}

void CIniDocument::Parse(const QString& fullText)
{
    // A zero character ends the text.
    const qsizetype zero = fullText.indexOf(QChar(0));
    const QString text = zero >= 0 ? fullText.left(zero) : fullText;

    Section* current = nullptr;
    qsizetype pos = 0;
    const qsizetype end = text.size();
    while (pos <= end) {
        qsizetype lf = text.indexOf(u'\n', pos);
        if (lf < 0)
            lf = end;
        QString line = text.mid(pos, lf - pos);
        pos = lf + 1;
        line.remove(u'\r');
        line = line.trimmed();

        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = name.isEmpty() ? nullptr : FindOrCreateSection(name);
            continue;
        }
        if (line.startsWith(u';'))
            continue;
        if (!current)
            continue; // key or bare line outside any section
        if (!line.contains(u'=')) {
            SetInSection(*current, line, QString());
            continue;
        }

        // Key line.
        const qsizetype n = line.size();
        QString key;
        qsizetype i = 0;
        if (IsQuote(line.at(0))) {
            const qsizetype close = line.indexOf(line.at(0), 1);
            if (close < 0)
                continue; // the line ends before its '='
            key = line.mid(1, close - 1);
            i = close + 1;
        } else {
            const qsizetype eq = line.indexOf(u'=');
            key = line.left(eq).trimmed();
            i = eq;
        }
        if (key.isEmpty())
            continue;
        while (i < n && IsBlank(line.at(i)))
            ++i;
        if (i >= n || line.at(i) != u'=')
            continue;
        ++i;
        while (i < n && IsBlank(line.at(i)))
            ++i;
        QString value;
        if (i < n && IsQuote(line.at(i))) {
            const qsizetype close = line.indexOf(line.at(i), i + 1);
            value = close < 0 ? line.mid(i + 1) : line.mid(i + 1, close - i - 1);
        } else {
            const qsizetype semi = line.indexOf(u';', i);
            value = (semi < 0 ? line.mid(i) : line.mid(i, semi - i)).trimmed();
        }
        SetInSection(*current, key, value);
    }
}

const CIniDocument::Section* CIniDocument::FindSection(const QString& section) const
{
    if (section.isEmpty())
        return m_defaultSection >= 0 ? &m_sections[size_t(m_defaultSection)] : nullptr;
    const auto it = m_sectionIndex.constFind(Fold(section));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[*it];
}

CIniDocument::Section* CIniDocument::FindOrCreateSection(const QString& section)
{
    const QString name = section.isEmpty() ? QString(Settings::kDefaultSection) : section;
    const QString folded = Fold(name);
    const auto it = m_sectionIndex.constFind(folded);
    if (it != m_sectionIndex.cend())
        return &m_sections[*it];
    m_sections.push_back(Section{name, {}, {}});
    const size_t at = m_sections.size() - 1;
    m_sectionIndex.insert(folded, at);
    if (m_defaultSection < 0 && folded == Fold(QString(Settings::kDefaultSection)))
        m_defaultSection = qsizetype(at);
    return &m_sections[at];
}

void CIniDocument::SetInSection(Section& section, const QString& key, const QString& value)
{
    const QString folded = Fold(key);
    const auto it = section.index.constFind(folded);
    if (it != section.index.cend()) {
        section.entries[*it].value = value;
        return;
    }
    section.entries.push_back(Entry{key, value});
    section.index.insert(folded, section.entries.size() - 1);
}

bool CIniDocument::GetString(const QString& section, const QString& key, QString& out,
                             const QString& defaultValue) const
{
    if (const Section* s = FindSection(section)) {
        const auto it = s->index.constFind(Fold(key));
        if (it != s->index.cend()) {
            out = s->entries[*it].value;
            return true;
        }
    }
    out = defaultValue;
    return false;
}

QString CIniDocument::GetString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    QString out;
    GetString(section, key, out, defaultValue);
    return out;
}

uint32_t CIniDocument::GetInt(const QString& section, const QString& key, uint32_t defaultValue,
                              int radix) const
{
    QString text;
    if (!GetString(section, key, text))
        return defaultValue;
    return ToUnsigned32(text, radix);
}

bool CIniDocument::SetString(const QString& section, const QString& key, const QString& value)
{
    SetInSection(*FindOrCreateSection(section), key, value);
    return true;
}

void CIniDocument::SetInt(const QString& section, const QString& key, int value)
{
    SetString(section, key, QString::number(value));
}

QByteArray CIniDocument::Serialize() const
{
    QByteArray out;
    out.append(char(0xFF));
    out.append(char(0xFE));
    for (const Section& s : m_sections) {
        AppendUtf16Le(out, QLatin1Char('[') + s.name + QLatin1String("]\r\n"));
        for (const Entry& e : s.entries)
            AppendUtf16Le(out, e.key + QLatin1String(" = ") + e.value + QLatin1String("\r\n"));
        AppendUtf16Le(out, QStringLiteral("\r\n"));
    }
    return out;
}

bool CIniDocument::Save(const QString& path) const
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered: the bytes go to the file in write() itself, so a short
    // write (a full disk, a file-size limit) shows in its count. Buffered, it
    // would surface only in the flush inside commit(), which then still
    // replaces the target with the cut file and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = Serialize();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void CIniDocument::Clear()
{
    m_sections.clear();
    m_sectionIndex.clear();
    m_defaultSection = -1;
}

QStringList CIniDocument::SectionNames() const
{
    QStringList names;
    for (const Section& s : m_sections)
        names.append(s.name);
    return names;
}

QStringList CIniDocument::Keys(const QString& section) const
{
    QStringList keys;
    if (const Section* s = FindSection(section)) {
        for (const Entry& e : s->entries)
            keys.append(e.key);
    }
    return keys;
}

QString CIniDocument::DefaultSectionName() const
{
    return m_defaultSection >= 0 ? m_sections[size_t(m_defaultSection)].name : QString();
}
