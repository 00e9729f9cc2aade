#pragma once
// The program's persistent settings: loaded from the settings file at start-up, written back into its
// memory copy when the program closes and when the Parameters dialog is confirmed (the file on disk is
// rewritten at close, and only if something changed). Section [General] holds the settings, section
// [SerialPorts] the table that gives serial devices their port numbers ("COM3=/dev/ttyUSB0").
#include "platform/ini_file.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace novrix::host {

inline constexpr std::string_view kGeneralSection = "General";
inline constexpr std::string_view kSerialPortsSection = "SerialPorts";

// Scripts name serial ports by number; this table maps the numbers to devices. A device keeps its number
// once it has one, so the number follows the adapter and not the order in which devices appear.
class SerialPortTable {
public:
    std::optional<std::string> device(int number) const;
    // The lowest number that names `device`.
    std::optional<int> number(std::string_view device) const;
    // The device's number; a device without one gets the lowest free number from 1.
    int assign(const std::string& device);
    void set(int number, std::string device) { devices_[number] = std::move(device); }
    const std::map<int, std::string>& entries() const { return devices_; }

    bool operator==(const SerialPortTable&) const = default;

private:
    std::map<int, std::string> devices_;
};

struct Settings {
    // The file name that scripts find in their variable UserFileName; after loading never empty.
    std::string userFileName;
    // Which controllers the search at start-up looks for, and the fixed LAN controller to connect.
    bool searchLan = true;
    bool searchSerial = true;
    bool searchDll = true;
    bool searchVisa = true;
    bool connectLan = false;
    std::string connectUrl = "127.0.0.1";
    // "Log Debug Messages into file": the debug log's LogToFile switch at start-up. The host keeps it
    // equal to the switch before saving.
    bool debugOutput = false;

    // Where the search for LAN controllers sends its broadcast (tests point it at 127.255.255.255).
    std::string discoveryAddress = "255.255.255.255";
    // Libraries of the driver-board and VISA bindings; empty means the binding's own list of the usual
    // library names, tried in order.
    std::string gpibLibrary;
    std::string visaLibrary;
    // The device through which the port input/output functions reach I/O ports.
    std::string portIoDevice = "/dev/port";

    SerialPortTable serialPorts;

    bool operator==(const Settings&) const = default;
};

// Reads every setting, giving the default for a missing key or a Boolean that is neither "True" nor
// "False". An empty user file name becomes "UserFileName.Txt" in `home`.
Settings loadSettings(const platform::IniFile& ini, const std::filesystem::path& home);

// Writes every setting into the memory copy of the settings file: UserFileName, SearchLAN, SearchSERIAL,
// SearchDLL, SearchVISA, ConnectLan, ConnectURL, DebugOutput, then the library and device settings, then
// the serial port table. Entries of the file that the table lacks stay.
void saveSettings(const Settings& settings, platform::IniFile& ini);

} // namespace novrix::host
