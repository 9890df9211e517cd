#pragma once

#include <QByteArray>
#include <QString>

// Points ALSA at a configuration of its own for the object's lifetime:
// kSignalDevice plays back a raw S16_LE stereo file the test wrote (and is
// no faster than the capture's time source lets it be), "null" gives endless
// silence at any speed. ALSA reads ALSA_CONFIG_PATH at every open, so setting
// it and restoring the earlier value (or its absence) afterwards suffices.
class AlsaTestDevice {
public:
    static constexpr const char* kSignalDevice = "karaoke_test_signal";

    // Writes "asound.conf" into `folder`, its signal device reading
    // `input_file` (which may be written later, before the device opens).
    AlsaTestDevice(const QString& folder, const QString& input_file);
    ~AlsaTestDevice();
    AlsaTestDevice(const AlsaTestDevice&) = delete;
    AlsaTestDevice& operator=(const AlsaTestDevice&) = delete;

private:
    bool had_config_path_;
    QByteArray saved_config_path_;
};
