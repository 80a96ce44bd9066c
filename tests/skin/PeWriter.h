#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Writes a minimal Windows DLL image (PE32 or PE32+) holding nothing but a
// resource section, laid out as resource compilers do: a type directory, a
// name directory per type, one language (1033) per name, then the data.
// Used by the tests and the skin gallery to stand for a card's settings
// program carrying its brand picture.
class CPeWriter
{
public:
    struct Resource {
        QString type;
        QString name;
        QByteArray data;
    };
    // File offsets of fields inside the written image, for tests that damage it.
    struct Layout {
        int peHeader = 0;            // "PE\0\0"
        int resourceDirectory = 0;   // data directory 2: RVA, size
        int sectionHeader = 0;       // the .rsrc section header
        int resourceSection = 0;     // file offset of the resource tree
        int rootDirectory = 0;       // root directory of the tree
        int typeEntry = 0;           // first type entry of the root (name, data)
        int nameEntry = 0;           // first name entry of the first type directory
        int languageEntry = 0;       // the language entry under that name
        int dataEntry = 0;           // its data entry (RVA, size, code page, reserved)
        int data = 0;                // the resource bytes
    };

    void Add(const QString& type, const QString& name, const QByteArray& data)
    {
        m_resources.append({type, name, data});
    }
    void SetPe32Plus(bool on) { m_pe32Plus = on; }
    QByteArray Build(Layout* layout = nullptr) const;

private:
    QList<Resource> m_resources;
    bool m_pe32Plus = false;
};
