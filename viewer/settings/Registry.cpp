#include "settings/Registry.h"

#include "settings/SettingsConstants.h"

#include <QSettings>
#include <QStringList>

#include <memory>

namespace {

// "SOFTWARE\NORVANE\APP" -> organisation "NORVANE", application "APP".
std::unique_ptr<QSettings> OpenKey(ERegRoot root, const QString& subKey)
{
    QStringList parts = subKey.split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(u"SOFTWARE", Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return nullptr;
    const QString organisation = parts.takeFirst();
    const QString application = parts.join(u'/');
    const QSettings::Scope scope = root == REG_ROOT_LOCAL_MACHINE ? QSettings::SystemScope
                                                                  : QSettings::UserScope;
    return std::make_unique<QSettings>(QSettings::NativeFormat, scope, organisation, application);
}

} // namespace

bool RegReadString(ERegRoot root, const QString& subKey, const QString& valueName,
                   QString& buffer, qsizetype bufferBytes)
{
    buffer.clear();
    if (valueName.isEmpty())
        return false;
    const auto key = OpenKey(root, subKey);
    if (!key || key->status() != QSettings::NoError)
        return false;
    const QVariant value = key->value(valueName);
    if (!value.isValid())
        return false;
    const QString text = value.toString();
    if ((text.size() + 1) * 2 > bufferBytes)
        return false;
    buffer = text;
    return true;
}

bool RegWriteString(ERegRoot root, const QString& subKey, const QString& valueName,
                    const QString& text)
{
    if (valueName.isEmpty())
        return false;
    const auto key = OpenKey(root, subKey);
    if (!key || key->status() != QSettings::NoError || !key->isWritable())
        return false;
    key->setValue(valueName, text);
    key->sync();
    return key->status() == QSettings::NoError;
}

EPlayType ReadPlayType()
{
    const QString subKey(Settings::kNorvaneSubKey);
    const QString valueName(Settings::kPlayTypeValue);
    QString text;
    RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, valueName, text, Settings::kRegReadBufferBytes);
    if (text == Settings::kPlayTypeValueSingle)
        return EPlayType::Single;
    if (text.isEmpty())
        RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, valueName, QString(Settings::kPlayTypeValueDual));
    return EPlayType::Dual;
}
