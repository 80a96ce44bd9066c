#include "CardFixture.h"

#include "catalogue/MemoryCard.h"
#include "telemetry/TextData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <chrono>

bool WriteCard(const QString& root, const QByteArray& model, const QStringList& files, const QByteArray& programPath)
{
    QDir dir(root);
    if (!dir.mkpath(QStringLiteral("SETTING")))
        return false;
    QByteArray record(kDeviceRecordSize, '\0');
    record.replace(kDeviceModelOffset, model.size(), model);
    record.replace(kDeviceProgramOffset, programPath.size(), programPath);
    QFile cfg(dir.filePath(QStringLiteral("SETTING/setup.cfg")));
    if (!cfg.open(QIODevice::WriteOnly) || cfg.write(record) != record.size())
        return false;
    for (const QString& f : files) {
        if (!dir.mkpath(QFileInfo(dir.filePath(f)).path()))
            return false;
        QFile rec(dir.filePath(f));
        if (!rec.open(QIODevice::WriteOnly) || rec.write(QByteArray(1000, 'x')) != 1000)
            return false;
    }
    return true;
}

QStringList ThreeRecordings()
{
    return {
        QStringLiteral("상시녹화/REC_2024_05_10_08_26_44_F.AVI"),
        QStringLiteral("상시녹화/REC_2024_05_10_08_27_29_F.AVI"),
        QStringLiteral("주차충격/REC_2024_05_10_09_00_00_F.AVI"),
    };
}

std::function<void(const QString&, CTextData&)> FakeExtraction::Fn()
{
    return [this](const QString&, CTextData& text) {
        if (!splashEnded.load())
            enteredBeforeSplash = true;
        ++entered;
        QElapsedTimer t;
        t.start();
        while (!open.load() && t.elapsed() < 20000)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        text.gsensorList.push_back(CGSensorData(1, 2, 3));
        ++returned;
    };
}

std::thread OpenLater(FakeExtraction& fake, int ms)
{
    return std::thread([&fake, ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        fake.open = true;
    });
}
