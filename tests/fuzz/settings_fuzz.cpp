// Setting.INI as anything a disk can hold: reading it never fails, and what
// the readers take from it stays within what the program can apply.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/apply_settings.h"

namespace {
using namespace caldrift;

class NoRegistry : public Registry {
public:
    bool open(RegistryRoot, const std::string&) override { return true; }
    long query(const std::string&, unsigned long& type, std::vector<std::uint8_t>&,
               std::size_t& size) override {
        type = kRegistryString;
        size = 0;
        return kRegistryOk;
    }
    long setText(const std::string&, unsigned long, const std::string&) override { return 0; }
    long setBytes(const std::string&, unsigned long, const std::vector<std::uint8_t>&) override {
        return 0;
    }
    long remove(const std::string&) override { return 0; }
    void close() override {}
};

class Window : public DropWindowSettings {
public:
    void startAutomaticDetection() override {}
    void useFixedDrive(const std::optional<std::string>&) override {}
    void showFirmwareLine(const std::string&) override {}
    void setOpacity(int opacity) override {
        if (opacity < -32768 || opacity > 32767) std::abort();
    }
};

class Dialog : public SettingsDialogControls {
public:
    void setAutomaticDrive(bool) override {}
    void setDrive(const std::string&) override {}
    void setFirmware(const std::string&) override {}
    void setStartWithWindows(bool) override {}
    void setSliderPosition(int) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    SettingsLines settings(readLines(text));
    Window window;
    NoRegistry registry;
    Dialog dialog;
    loadconf(settings, window, registry, {"C:\\Caldrift.exe", {}});
    readconf(settings, dialog);

    // What the dialog saves from these values reads back as the same values.
    SettingsForm form;
    form.automaticDrive = settings.automaticDrive();
    form.firmware = settings.firmwareVersion().value_or("1.00");
    form.startWithWindows = settings.startWithWindows();
    form.transparency = settings.sliderPosition().value_or(100) % 101;
    SettingsLines saved(readLines(settingsText(form)));
    if (saved.automaticDrive() != form.automaticDrive ||
        saved.startWithWindows() != form.startWithWindows ||
        saved.sliderPosition() != form.transparency)
        std::abort();
    return 0;
}
