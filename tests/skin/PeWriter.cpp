#include "PeWriter.h"

#include <QMap>

namespace {
constexpr int kPeOffset = 0x40;
constexpr int kSectionFileOffset = 0x200;
constexpr uint32_t kSectionRva = 0x1000;

void Put16(QByteArray& b, int at, uint32_t v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void Put32(QByteArray& b, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}
int Align(int v, int a) { return (v + a - 1) / a * a; }
} // namespace

QByteArray CPeWriter::Build(Layout* layout) const
{
    // Group the resources by type, keeping their order.
    QStringList types;
    QMap<QString, QList<int>> byType;
    for (int i = 0; i < m_resources.size(); ++i) {
        if (!byType.contains(m_resources[i].type))
            types.append(m_resources[i].type);
        byType[m_resources[i].type].append(i);
    }

    // Resource tree layout (offsets relative to the section start).
    QByteArray tree;
    auto reserve = [&](int bytes) {
        const int at = tree.size();
        tree.append(QByteArray(bytes, '\0'));
        return at;
    };
    const int root = reserve(16 + 8 * int(types.size()));
    Put16(tree, root + 12, uint32_t(types.size()));
    QList<int> typeDirs, nameDirs, langDirs, dataEntries;
    for (const QString& type : types) {
        const int dir = reserve(16 + 8 * int(byType[type].size()));
        Put16(tree, dir + 12, uint32_t(byType[type].size()));
        typeDirs.append(dir);
    }
    QList<int> nameDirOf(m_resources.size()), langDirOf(m_resources.size()), dataOf(m_resources.size());
    for (const QString& type : types)
        for (int i : byType[type]) {
            nameDirOf[i] = reserve(16 + 8);
            Put16(tree, nameDirOf[i] + 14, 1); // one language entry, by id
        }
    for (int i = 0; i < m_resources.size(); ++i)
        dataOf[i] = reserve(16);
    auto addString = [&](const QString& s) {
        const int at = reserve(2 + 2 * int(s.size()));
        Put16(tree, at, uint32_t(s.size()));
        for (int k = 0; k < s.size(); ++k)
            Put16(tree, at + 2 + 2 * k, s[k].unicode());
        return at;
    };
    for (int t = 0; t < types.size(); ++t) {
        const int nameAt = addString(types[t]);
        Put32(tree, root + 16 + 8 * t, 0x80000000u | uint32_t(nameAt));
        Put32(tree, root + 16 + 8 * t + 4, 0x80000000u | uint32_t(typeDirs[t]));
        const QList<int>& members = byType[types[t]];
        for (int k = 0; k < members.size(); ++k) {
            const int i = members[k];
            const int resName = addString(m_resources[i].name);
            const int entry = typeDirs[t] + 16 + 8 * k;
            Put32(tree, entry, 0x80000000u | uint32_t(resName));
            Put32(tree, entry + 4, 0x80000000u | uint32_t(nameDirOf[i]));
            Put32(tree, nameDirOf[i] + 16, 1033);
            Put32(tree, nameDirOf[i] + 20, uint32_t(dataOf[i]));
        }
    }
    QList<int> dataAt(m_resources.size());
    for (int i = 0; i < m_resources.size(); ++i) {
        tree.append(QByteArray(Align(int(tree.size()), 8) - int(tree.size()), '\0'));
        dataAt[i] = int(tree.size());
        tree.append(m_resources[i].data);
        Put32(tree, dataOf[i], kSectionRva + uint32_t(dataAt[i]));
        Put32(tree, dataOf[i] + 4, uint32_t(m_resources[i].data.size()));
    }
    const int treeSize = int(tree.size());
    tree.append(QByteArray(Align(treeSize, 0x200) - treeSize, '\0'));

    // Headers.
    QByteArray image(kSectionFileOffset, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, kPeOffset);
    image.replace(kPeOffset, 4, QByteArray("PE\0\0", 4));
    const int coff = kPeOffset + 4;
    const int optionalSize = m_pe32Plus ? 240 : 224;
    Put16(image, coff, m_pe32Plus ? 0x8664 : 0x14C);
    Put16(image, coff + 2, 1);
    Put16(image, coff + 16, uint32_t(optionalSize));
    Put16(image, coff + 18, 0x2102);
    const int opt = coff + 20;
    Put16(image, opt, m_pe32Plus ? 0x20B : 0x10B);
    Put32(image, opt + 32, 0x1000); // section alignment
    Put32(image, opt + 36, 0x200);  // file alignment
    Put32(image, opt + 56, kSectionRva + uint32_t(Align(treeSize, 0x1000)));
    Put32(image, opt + 60, kSectionFileOffset);
    const int countField = m_pe32Plus ? opt + 108 : opt + 92;
    const int dirs = m_pe32Plus ? opt + 112 : opt + 96;
    Put32(image, countField, 16);
    Put32(image, dirs + 16, kSectionRva);
    Put32(image, dirs + 20, uint32_t(treeSize));
    const int section = opt + optionalSize;
    image.replace(section, 8, QByteArray(".rsrc\0\0\0", 8));
    Put32(image, section + 8, uint32_t(treeSize));
    Put32(image, section + 12, kSectionRva);
    Put32(image, section + 16, uint32_t(tree.size()));
    Put32(image, section + 20, kSectionFileOffset);
    Put32(image, section + 36, 0x40000040u);
    image.append(tree);

    if (layout) {
        layout->peHeader = kPeOffset;
        layout->resourceDirectory = dirs + 16;
        layout->sectionHeader = section;
        layout->resourceSection = kSectionFileOffset;
        layout->rootDirectory = kSectionFileOffset + root;
        layout->typeEntry = kSectionFileOffset + root + 16;
        layout->nameEntry = typeDirs.isEmpty() ? 0 : kSectionFileOffset + typeDirs[0] + 16;
        const int first = types.isEmpty() ? -1 : byType[types[0]].first();
        layout->languageEntry = first < 0 ? 0 : kSectionFileOffset + nameDirOf[first] + 16;
        layout->dataEntry = first < 0 ? 0 : kSectionFileOffset + dataOf[first];
        layout->data = first < 0 ? 0 : kSectionFileOffset + dataAt[first];
    }
    return image;
}
