#include "support/alsa_test_device.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr const char* kConfigVariable = "ALSA_CONFIG_PATH";

QByteArray config_text(const QString& input_file) {
    return QString(R"(
pcm.null { type null }
pcm.%1 {
    type file
    slave.pcm "null"
    file "/dev/null"
    infile "%2"
    format "raw"
}
)")
        .arg(AlsaTestDevice::kSignalDevice, input_file)
        .toUtf8();
}

}  // namespace

AlsaTestDevice::AlsaTestDevice(const QString& folder, const QString& input_file)
    : had_config_path_(qEnvironmentVariableIsSet(kConfigVariable)),
      saved_config_path_(qgetenv(kConfigVariable)) {
    const QString config_path = QDir(folder).filePath("asound.conf");
    QFile config(config_path);
    if (!config.open(QIODevice::WriteOnly) || config.write(config_text(input_file)) < 0)
        ADD_FAILURE() << "cannot write " << config_path.toStdString();
    config.close();
    qputenv(kConfigVariable, config_path.toUtf8());
}

AlsaTestDevice::~AlsaTestDevice() {
    if (had_config_path_)
        qputenv(kConfigVariable, saved_config_path_);
    else
        qunsetenv(kConfigVariable);
}
