// Loading and saving the settings: defaults, the order in which a new file receives them, what a
// hand-edited file gives, and the serial port table.
#include "host/settings.h"
#include "settings_test_support.h"

#include <gtest/gtest.h>

using novrix::host::loadSettings;
using novrix::host::saveSettings;
using novrix::host::SerialPortTable;
using novrix::host::Settings;
using novrix::platform::IniFile;
using novrix::test::readFile;
using novrix::test::TempDir;
using novrix::test::writeFile;

TEST(HostSettings, FreshInstallationGetsTheDefaults) {
    TempDir home;
    const Settings s = loadSettings(IniFile(home / "novrix.ini"), home.path());
    EXPECT_EQ(s.userFileName, (home / "UserFileName.Txt").string());
    EXPECT_TRUE(s.searchLan);
    EXPECT_TRUE(s.searchSerial);
    EXPECT_TRUE(s.searchDll);
    EXPECT_TRUE(s.searchVisa);
    EXPECT_FALSE(s.connectLan);
    EXPECT_EQ(s.connectUrl, "127.0.0.1");
    EXPECT_FALSE(s.debugOutput);
    EXPECT_EQ(s.discoveryAddress, "255.255.255.255");
    EXPECT_EQ(s.gpibLibrary, "");
    EXPECT_EQ(s.visaLibrary, "");
    EXPECT_EQ(s.portIoDevice, "/dev/port");
    EXPECT_TRUE(s.serialPorts.entries().empty());
}

// The file is created at the first close, with the keys in the order in which they are saved.
TEST(HostSettings, FirstSaveWritesEveryKeyInOrder) {
    TempDir home;
    IniFile ini(home / "novrix.ini");
    Settings s = loadSettings(ini, home.path());
    s.serialPorts.set(3, "/dev/ttyUSB0");
    s.serialPorts.set(1, "/dev/serial/by-id/usb-FTDI_A1-if00-port0");
    saveSettings(s, ini);
    EXPECT_FALSE(std::filesystem::exists(home / "novrix.ini")) << "saving touches only the memory copy";
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readFile(home / "novrix.ini"), "[General]\n"
                                             "UserFileName=" +
                                                 (home / "UserFileName.Txt").string() +
                                                 "\n"
                                                 "SearchLAN=True\n"
                                                 "SearchSERIAL=True\n"
                                                 "SearchDLL=True\n"
                                                 "SearchVISA=True\n"
                                                 "ConnectLan=False\n"
                                                 "ConnectURL=127.0.0.1\n"
                                                 "DebugOutput=False\n"
                                                 "DiscoveryAddress=255.255.255.255\n"
                                                 "GpibLibrary=\n"
                                                 "VisaLibrary=\n"
                                                 "PortIoDevice=/dev/port\n"
                                                 "\n"
                                                 "[SerialPorts]\n"
                                                 "COM1=/dev/serial/by-id/usb-FTDI_A1-if00-port0\n"
                                                 "COM3=/dev/ttyUSB0\n");
}

TEST(HostSettings, EveryValueSurvivesSaveAndLoad) {
    TempDir home;
    Settings s;
    s.userFileName = "/data/measure/run 7.txt";
    s.searchLan = false;
    s.searchSerial = false;
    s.searchDll = false;
    s.searchVisa = false;
    s.connectLan = true;
    s.connectUrl = "192.168.0.44";
    s.debugOutput = true;
    s.discoveryAddress = "127.255.255.255";
    s.gpibLibrary = "/opt/lib/libgpib.so.0";
    s.visaLibrary = "librsvisa.so";
    s.portIoDevice = "/dev/null";
    s.serialPorts.set(2, "/dev/ttyS1");
    s.serialPorts.set(12, "/dev/ttyACM0");
    {
        IniFile ini(home / "novrix.ini");
        saveSettings(s, ini);
        ASSERT_TRUE(ini.save());
    }
    IniFile ini(home / "novrix.ini");
    EXPECT_EQ(loadSettings(ini, home.path()), s);
    // Saving what was loaded changes nothing, so the file is not rewritten at close.
    saveSettings(loadSettings(ini, home.path()), ini);
    EXPECT_FALSE(ini.modified());
}

// Only "True" and "False" are understood: anything else leaves the default in force.
TEST(HostSettings, HandEditedFileFallsBackToDefaultsForWhatItDoesNotUnderstand) {
    TempDir home;
    writeFile(home / "novrix.ini", "[General]\n"
                                   "SearchLAN=yes\n"
                                   "SearchSERIAL=False\n"
                                   "SearchDLL=false\n"
                                   "ConnectLan=1\n"
                                   "DebugOutput=True\n"
                                   "UserFileName=\n"
                                   "ConnectURL=\n");
    IniFile ini(home / "novrix.ini");
    const Settings s = loadSettings(ini, home.path());
    EXPECT_TRUE(s.searchLan);
    EXPECT_FALSE(s.searchSerial);
    EXPECT_TRUE(s.searchDll);
    EXPECT_TRUE(s.searchVisa);
    EXPECT_FALSE(s.connectLan);
    EXPECT_TRUE(s.debugOutput);
    EXPECT_EQ(s.userFileName, (home / "UserFileName.Txt").string()); // empty counts as not set
    EXPECT_EQ(s.connectUrl, "");                                     // a present empty address stays empty
}

TEST(HostSettings, SerialPortTableReadsOnlyPortKeysAndKeepsTheRest) {
    TempDir home;
    writeFile(home / "novrix.ini", "[SerialPorts]\n"
                                   "; adapters on the bench\n"
                                   "com04=/dev/ttyUSB1\n"
                                   "COM2=/dev/ttyS1\n"
                                   "COM0=/dev/zero-is-no-port\n"
                                   "COMX=/dev/not-a-number\n"
                                   "COM5x=/dev/trailing\n"
                                   "COM7=\n"
                                   "Printer=/dev/lp0\n");
    IniFile ini(home / "novrix.ini");
    Settings s = loadSettings(ini, home.path());
    EXPECT_EQ(s.serialPorts.entries(), (std::map<int, std::string>{{2, "/dev/ttyS1"}, {4, "/dev/ttyUSB1"}}));

    // A new device gets the lowest free number; the file keeps the user's spelling and lines.
    EXPECT_EQ(s.serialPorts.assign("/dev/ttyUSB7"), 1);
    EXPECT_EQ(s.serialPorts.assign("/dev/ttyUSB1"), 4);
    s.serialPorts.set(4, "/dev/ttyUSB9");
    saveSettings(s, ini);
    const std::string text = ini.text();
    EXPECT_NE(text.find("; adapters on the bench\ncom04=/dev/ttyUSB9\nCOM2=/dev/ttyS1\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("COMX=/dev/not-a-number\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Printer=/dev/lp0\nCOM1=/dev/ttyUSB7\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("COM4="), std::string::npos) << "a second entry for port 4\n" << text;
}

TEST(HostSettings, PortNumbersStayWithTheirDevices) {
    SerialPortTable table;
    struct Step {
        const char* device;
        int number;
    };
    const Step steps[] = {{"/dev/ttyUSB0", 1}, {"/dev/ttyUSB1", 2}, {"/dev/ttyUSB0", 1}, {"/dev/ttyS0", 3}};
    for (const Step& step : steps)
        EXPECT_EQ(table.assign(step.device), step.number) << step.device;
    table.set(5, "/dev/ttyACM0");
    EXPECT_EQ(table.assign("/dev/ttyACM1"), 4); // fills the gap below 5
    EXPECT_EQ(table.assign("/dev/ttyACM2"), 6);
    EXPECT_EQ(table.device(5), "/dev/ttyACM0");
    EXPECT_EQ(table.number("/dev/none"), std::nullopt);
}
