#include "host/settings.h"

#include <charconv>

namespace novrix::host {

namespace {

constexpr std::string_view kUserFileName = "UserFileName";
constexpr std::string_view kSearchLan = "SearchLAN";
constexpr std::string_view kSearchSerial = "SearchSERIAL";
constexpr std::string_view kSearchDll = "SearchDLL";
constexpr std::string_view kSearchVisa = "SearchVISA";
constexpr std::string_view kConnectLan = "ConnectLan";
constexpr std::string_view kConnectUrl = "ConnectURL";
constexpr std::string_view kDebugOutput = "DebugOutput";
constexpr std::string_view kDiscoveryAddress = "DiscoveryAddress";
constexpr std::string_view kGpibLibrary = "GpibLibrary";
constexpr std::string_view kVisaLibrary = "VisaLibrary";
constexpr std::string_view kPortIoDevice = "PortIoDevice";

constexpr std::string_view kDefaultUserFile = "UserFileName.Txt";

// "COM3" -> 3; anything else (other keys a user may have put there) -> nothing.
std::optional<int> portNumberOfKey(std::string_view key) {
    if (key.size() < 4)
        return std::nullopt;
    for (int i = 0; i < 3; ++i)
        if ((key[i] & ~0x20) != "COM"[i])
            return std::nullopt;
    int n = 0;
    const auto digits = key.substr(3);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n < 1)
        return std::nullopt;
    return n;
}

std::string portKey(int number) {
    return "COM" + std::to_string(number);
}

} // namespace

std::optional<std::string> SerialPortTable::device(int number) const {
    const auto it = devices_.find(number);
    return it == devices_.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<int> SerialPortTable::number(std::string_view device) const {
    for (const auto& [n, d] : devices_)
        if (d == device)
            return n;
    return std::nullopt;
}

int SerialPortTable::assign(const std::string& device) {
    if (const auto n = number(device))
        return *n;
    int free = 1;
    for (const auto& entry : devices_) {
        if (entry.first > free)
            break;
        if (entry.first == free)
            ++free;
    }
    devices_.emplace(free, device);
    return free;
}

Settings loadSettings(const platform::IniFile& ini, const std::filesystem::path& home) {
    const Settings defaults;
    Settings s;
    const auto text = [&](std::string_view key, const std::string& def) {
        return ini.readString(kGeneralSection, key, def);
    };
    const auto flag = [&](std::string_view key, bool def) { return ini.readBool(kGeneralSection, key, def); };

    s.userFileName = text(kUserFileName, defaults.userFileName);
    if (s.userFileName.empty())
        s.userFileName = (home / kDefaultUserFile).string();
    s.searchLan = flag(kSearchLan, defaults.searchLan);
    s.searchSerial = flag(kSearchSerial, defaults.searchSerial);
    s.searchDll = flag(kSearchDll, defaults.searchDll);
    s.searchVisa = flag(kSearchVisa, defaults.searchVisa);
    s.connectLan = flag(kConnectLan, defaults.connectLan);
    s.connectUrl = text(kConnectUrl, defaults.connectUrl);
    s.debugOutput = flag(kDebugOutput, defaults.debugOutput);
    s.discoveryAddress = text(kDiscoveryAddress, defaults.discoveryAddress);
    s.gpibLibrary = text(kGpibLibrary, defaults.gpibLibrary);
    s.visaLibrary = text(kVisaLibrary, defaults.visaLibrary);
    s.portIoDevice = text(kPortIoDevice, defaults.portIoDevice);

    for (const auto& [key, device] : ini.sectionValues(kSerialPortsSection)) {
        const auto n = portNumberOfKey(key);
        if (n && !device.empty() && !s.serialPorts.device(*n))
            s.serialPorts.set(*n, device);
    }
    return s;
}

void saveSettings(const Settings& s, platform::IniFile& ini) {
    ini.writeString(kGeneralSection, kUserFileName, s.userFileName);
    ini.writeBool(kGeneralSection, kSearchLan, s.searchLan);
    ini.writeBool(kGeneralSection, kSearchSerial, s.searchSerial);
    ini.writeBool(kGeneralSection, kSearchDll, s.searchDll);
    ini.writeBool(kGeneralSection, kSearchVisa, s.searchVisa);
    ini.writeBool(kGeneralSection, kConnectLan, s.connectLan);
    ini.writeString(kGeneralSection, kConnectUrl, s.connectUrl);
    ini.writeBool(kGeneralSection, kDebugOutput, s.debugOutput);
    ini.writeString(kGeneralSection, kDiscoveryAddress, s.discoveryAddress);
    ini.writeString(kGeneralSection, kGpibLibrary, s.gpibLibrary);
    ini.writeString(kGeneralSection, kVisaLibrary, s.visaLibrary);
    ini.writeString(kGeneralSection, kPortIoDevice, s.portIoDevice);

    // An entry goes where the file has the number already, under the key as the file spells it
    // ("com03"), so that a rewrite never adds a second entry for one number.
    std::map<int, std::string> keyOfNumber;
    for (const auto& entry : ini.sectionValues(kSerialPortsSection))
        if (const auto n = portNumberOfKey(entry.first))
            keyOfNumber.emplace(*n, entry.first);
    for (const auto& [n, device] : s.serialPorts.entries()) {
        const auto existing = keyOfNumber.find(n);
        ini.writeString(kSerialPortsSection, existing != keyOfNumber.end() ? existing->second : portKey(n),
                        device);
    }
}

} // namespace novrix::host
