// The program's own functions: each declaration text exactly as registered (parameter names, spacing
// and the missing semicolons of rows 39 to 43 included), with the group that implements it.
#include "library/catalogue.h"

#include <array>

namespace novrix::library {

namespace {

constexpr auto kBus = FunctionGroup::Bus;
constexpr auto kConsole = FunctionGroup::Console;
constexpr auto kFile = FunctionGroup::File;
constexpr auto kUtility = FunctionGroup::Utility;
constexpr auto kSerial = FunctionGroup::Serial;
constexpr auto kModbus = FunctionGroup::Modbus;
constexpr auto kNetwork = FunctionGroup::Network;
constexpr auto kDde = FunctionGroup::Dde;
constexpr auto kDirectIo = FunctionGroup::DirectIo;
constexpr auto kExtras = FunctionGroup::Extras;

// Row 56 (NOVRIX_BusGetEoi : Boolean) is hidden by row 58 (NOVRIX_BusGetEoi : Integer): scripts compile
// against row 58 and call the implementation registered with it.
constexpr std::array<NovrixFunction, 110> kFunctions{{
    {1, "NOVRIX_Random", "function NOVRIX_Random(Which:integer):Extended;", kUtility},
    {2, "NOVRIX_Randomize", "procedure NOVRIX_Randomize;", kUtility},
    {3, "NOVRIX_DDEServerCreateItem", "procedure NOVRIX_DDEServerCreateItem(Which:String);", kDde},
    {4, "NOVRIX_DDEClientCreateItem",
     "procedure NOVRIX_DDEClientCreateItem(Name:String;Application:String;Topic:String);", kDde},
    {5, "NOVRIX_DDEServerAssignvalue", "procedure NOVRIX_DDEServerAssignvalue(Item:String;Value:String);",
     kDde},
    {6, "NOVRIX_DDEClientGetValue",
     "function NOVRIX_DDEClientGetValue(Name:String;Item:String; Var Answer:String):Boolean;", kDde},
    {7, "NOVRIX_FileExecute", "procedure NOVRIX_FileExecute(WhichProgram:String;CMDParameters:String);",
     kFile},
    {8, "NOVRIX_FileDelete", "procedure NOVRIX_FileDelete(Which:String);", kFile},
    {9, "NOVRIX_FileClearBuffer", "procedure NOVRIX_FileClearBuffer;", kFile},
    {10, "NOVRIX_FileAddToBuffer", "procedure NOVRIX_FileAddToBuffer(What:Variant);", kFile},
    {11, "NOVRIX_FileWrite", "procedure NOVRIX_FileWrite(Where:String);", kFile},
    {12, "NOVRIX_FileExists", "function NOVRIX_FileExists(Which:String):Boolean;", kFile},
    {13, "NOVRIX_FileReadOpen", "function NOVRIX_FileReadOpen(Datafilename:String):Boolean;", kFile},
    {14, "NOVRIX_FileReadClose", "function NOVRIX_FileReadClose:Boolean;", kFile},
    {15, "NOVRIX_FileReadEof", "function NOVRIX_FileReadEof:Boolean;", kFile},
    {16, "NOVRIX_FileReadGetBuffer", "function NOVRIX_FileReadGetBuffer:String;", kFile},
    {17, "NOVRIX_FileReadLn", "function NOVRIX_FileReadLn:String;", kFile},
    {18, "NOVRIX_FileRead", "function NOVRIX_FileRead:Char;", kFile},
    {19, "NOVRIX_StringNthArgument",
     "function NOVRIX_StringNthArgument(N:Integer; Var Worin:String; Delimiter:Char):String;", kUtility},
    {20, "NOVRIX_ConvertToIntNumber", "function NOVRIX_ConvertToIntNumber(Which:String):Integer;", kUtility},
    {21, "NOVRIX_ConvertToFloatNumber", "function NOVRIX_ConvertToFloatNumber(Which:String):Double;",
     kUtility},
    {22, "NOVRIX_ConvertAddToString", "procedure NOVRIX_ConvertAddToString(var Where: String;What:Variant);",
     kUtility},
    {23, "NOVRIX_ConvertToFixed", "function NOVRIX_ConvertToFixed(V:Variant;digits:Integer):String;",
     kUtility},
    {24, "NOVRIX_ConvertToExponential",
     "function NOVRIX_ConvertToExponential(V:Variant;TotalLength:Integer;ExponentLength:Integer):String;",
     kUtility},
    {25, "NOVRIX_ConvertStripToNumber", "function NOVRIX_ConvertStripToNumber(V:Variant):String;", kUtility},
    {26, "NOVRIX_ConvertToMJD", "function NOVRIX_ConvertToMJD(What:Variant):String;", kUtility},
    {27, "NOVRIX_ConvertToDecimalComma", "function NOVRIX_ConvertToDecimalComma(Where:String):String;",
     kUtility},
    {28, "NOVRIX_ConvertToDecimalPoint", "function NOVRIX_ConvertToDecimalPoint(Where:String):String;",
     kUtility},
    {29, "NOVRIX_ConvertHextoInt", "function NOVRIX_ConvertHextoInt(HexString:String):String;", kUtility},
    {30, "NOVRIX_ConvertRemove", "procedure NOVRIX_ConvertRemove(What:String; Var FromWhere:String);",
     kUtility},
    {31, "NOVRIX_ScreenGotoXY", "procedure NOVRIX_ScreenGotoXY(x,y:integer);", kConsole},
    {32, "NOVRIX_ScreenClear", "procedure NOVRIX_ScreenClear;", kConsole},
    {33, "NOVRIX_ScreenClearEol", "procedure NOVRIX_ScreenClearEol;", kConsole},
    {34, "NOVRIX_ScreenWrite", "procedure NOVRIX_ScreenWrite(s:variant);", kConsole},
    {35, "NOVRIX_ScreenWriteLn", "procedure NOVRIX_ScreenWriteLn(s:variant);", kConsole},
    {36, "NOVRIX_ScreenCursorOn", "procedure NOVRIX_ScreenCursorOn;", kConsole},
    {37, "NOVRIX_ScreenCursorOff", "procedure NOVRIX_ScreenCursorOff;", kConsole},
    {38, "NOVRIX_DebugWriteLn", "procedure NOVRIX_DebugWriteLn(s:variant);", kConsole},
    {39, "NOVRIX_KbdReadLn", "function NOVRIX_KbdReadLn:variant", kConsole},
    {40, "NOVRIX_KbdKeypressed", "function NOVRIX_KbdKeypressed:Boolean", kConsole},
    {41, "NOVRIX_KbdReadKey", "function NOVRIX_KbdReadKey:Char", kConsole},
    {42, "NOVRIX_TimeNow", "function NOVRIX_TimeNow:TDateTime", kUtility},
    {43, "NOVRIX_TimeNewSecond", "function NOVRIX_TimeNewSecond:boolean", kUtility},
    {44, "NOVRIX_TimeSleep", "procedure NOVRIX_TimeSleep(HowLong:double);", kUtility},
    {45, "NOVRIX_TimeWaitForMultipleOf", "procedure NOVRIX_TimeWaitForMultipleOf(Seconds:Cardinal);",
     kUtility},
    {46, "NOVRIX_BusAddressDevice", "procedure NOVRIX_BusAddressDevice(Which:Integer);", kBus},
    {47, "NOVRIX_BusGetAddressedDevice", "function NOVRIX_BusGetAddressedDevice:Integer;", kBus},
    {48, "NOVRIX_BusSPoll", "function NOVRIX_BusSPoll(Device:Integer):Integer;", kBus},
    {49, "NOVRIX_BusAutoOn", "procedure NOVRIX_BusAutoOn;", kBus},
    {50, "NOVRIX_BusAutoOff", "procedure NOVRIX_BusAutoOff;", kBus},
    {51, "NOVRIX_BusIFC", "procedure NOVRIX_BusIFC;", kBus},
    {52, "NOVRIX_BusGotoLocal", "procedure NOVRIX_BusGotoLocal(Device:Integer);", kBus},
    {53, "NOVRIX_BusLocalLockout", "procedure NOVRIX_BusLocalLockout;", kBus},
    {54, "NOVRIX_BusEnableEoi", "procedure NOVRIX_BusEnableEoi;", kBus},
    {55, "NOVRIX_BusDisableEoi", "procedure NOVRIX_BusDisableEoi;", kBus},
    {56, "NOVRIX_BusGetEoi", "function NOVRIX_BusGetEoi:Boolean;", kBus},
    {57, "NOVRIX_BusSetEos", "procedure NOVRIX_BusSetEos(How:Integer);", kBus},
    {58, "NOVRIX_BusGetEoi", "function NOVRIX_BusGetEoi:Integer;", kBus},
    {59, "NOVRIX_BusGetVer", "function NOVRIX_BusGetVer:String;", kBus},
    {60, "NOVRIX_DevClear", "procedure NOVRIX_DevClear(Device:Integer);", kBus},
    {61, "NOVRIX_BusTrigger", "procedure NOVRIX_BusTrigger(Device:Integer);", kBus},
    {62, "NOVRIX_BusSrq", "function NOVRIX_BusSrq:Boolean;", kBus},
    {63, "NOVRIX_BusDataAvailable", "function NOVRIX_BusDataAvailable:Boolean;", kBus},
    {64, "NOVRIX_BusGetData", "function NOVRIX_BusGetData:String;", kBus},
    {65, "NOVRIX_BusWaitForData",
     "function NOVRIX_BusWaitForData(Device:integer; Var ForWhat:String; MaxWait:Double):Boolean;", kBus},
    {66, "NOVRIX_BusWaitForDataBlock",
     "function NOVRIX_BusWaitForDataBlock(Device:integer; Var ForWhat:String; MaxWait:Double):Boolean;",
     kBus},
    {67, "NOVRIX_BusWriteData", "procedure NOVRIX_BusWriteData(Device:Integer; What:String);", kBus},
    {68, "NOVRIX_BusWaitForSrq", "function NOVRIX_BusWaitForSrq(MaxWait:Double):Boolean;", kBus},
    {69, "NOVRIX_BusFindAllDevices", "procedure NOVRIX_BusFindAllDevices;", kBus},
    {70, "NOVRIX_BusSourceOfSrq", "function NOVRIX_BusSourceOfSrq:Integer;", kBus},
    {71, "NOVRIX_BusSrqStatus", "function NOVRIX_BusSrqStatus:Integer;", kBus},
    {72, "NOVRIX_BusSetTimeOut", "procedure NOVRIX_BusSetTimeOut(How:Double);", kBus},
    {73, "NOVRIX_BusGetTimeOut", "function NOVRIX_BusGetTimeOut:Double;", kBus},
    {74, "NOVRIX_ComOpen",
     "function "
     "NOVRIX_ComOpen(Com:integer;Baudrate:Integer;DataBits:Integer;Parity:Char;StopBits:Integer):Boolean;",
     kSerial},
    {75, "NOVRIX_ComSetDtr", "procedure NOVRIX_ComSetDtr(Which:integer;How:Boolean);", kSerial},
    {76, "NOVRIX_ComSetRts", "procedure NOVRIX_ComSetRts(Which:integer;How:Boolean);", kSerial},
    {77, "NOVRIX_ComSetBreak", "procedure NOVRIX_ComSetBreak(Which:integer;How:Boolean);", kSerial},
    {78, "NOVRIX_ComWrite", "procedure NOVRIX_ComWrite(Which:integer;What:String);", kSerial},
    {79, "NOVRIX_ComWriteWithDelay",
     "procedure NOVRIX_ComWriteWithDelay(Which:integer;What:String;DelayMS:Integer);", kSerial},
    {80, "NOVRIX_ComRead", "function NOVRIX_ComRead(Which:integer):String;", kSerial},
    {81, "NOVRIX_ComCts", "function NOVRIX_ComCts(Which:integer):Boolean;", kSerial},
    {82, "NOVRIX_ComDsr", "function NOVRIX_ComDsr(Which:integer):Boolean;", kSerial},
    {83, "NOVRIX_ComDcd", "function NOVRIX_ComDcd(Which:integer):Boolean;", kSerial},
    {84, "NOVRIX_ComRi", "function NOVRIX_ComRi(Which:integer):Boolean;", kSerial},
    {85, "NOVRIX_ModbusReadHoldingRegister",
     "function "
     "NOVRIX_ModbusReadHoldingRegister(Which:integer;Modbusadresse:Integer;Welches:Integer;Timeout:Double):"
     "Double;",
     kModbus},
    {86, "NOVRIX_ModbusReadHoldingReal",
     "function "
     "NOVRIX_ModbusReadHoldingReal(Which:integer;Modbusadresse:Integer;Welches:Integer;Timeout:Double):"
     "Double;",
     kModbus},
    {87, "NOVRIX_ModbusReadInputRegister",
     "function "
     "NOVRIX_ModbusReadInputRegister(Which:integer;Modbusadresse:Integer;Welches:Integer;Timeout:Double):"
     "Double;",
     kModbus},
    {88, "NOVRIX_ModbusReadInputReal",
     "function "
     "NOVRIX_ModbusReadInputReal(Which:integer;Modbusadresse:Integer;Welches:Integer;Timeout:Double):Double;",
     kModbus},
    {89, "NOVRIX_ModbusSetCoil",
     "procedure "
     "NOVRIX_ModbusSetCoil(Which:integer;Modbusadresse:Integer;Welche:Integer;Wie:Boolean;Timeout:Double);",
     kModbus},
    {90, "NOVRIX_ModbusReadCoil",
     "function "
     "NOVRIX_ModbusReadCoil(Which:integer;Modbusadresse:Integer;Welche:Integer;Timeout:Double):Boolean;",
     kModbus},
    {91, "NOVRIX_PortIn", "function NOVRIX_PortIn(Port:Word):Byte;", kDirectIo},
    {92, "NOVRIX_PortOut", "procedure NOVRIX_PortOut(Port:Word;What:Byte);", kDirectIo},
    {93, "NOVRIX_TelnetConnect", "function NOVRIX_TelnetConnect(IPAddress:String;Port:Integer):Boolean;",
     kNetwork},
    {94, "NOVRIX_TelnetWrite", "procedure NOVRIX_TelnetWrite(IPAddress:String;What:String);", kNetwork},
    {95, "NOVRIX_TelnetRead", "function NOVRIX_TelnetRead(IPAddress:String):String;", kNetwork},
    {96, "NOVRIX_TCPConnect", "function NOVRIX_TCPConnect(IPAddress:String;Port:Integer):Boolean;", kNetwork},
    {97, "NOVRIX_TCPTimeout", "procedure NOVRIX_TCPTimeout(IPAddress:String;What:Double);", kNetwork},
    {98, "NOVRIX_TCPWrite", "procedure NOVRIX_TCPWrite(IPAddress:String;What:String);", kNetwork},
    {99, "NOVRIX_TCPRead", "function NOVRIX_TCPRead(IPAddress:String):String;", kNetwork},
    {100, "NOVRIX_viOpenDefaultRM", "function NOVRIX_viOpenDefaultRM(var rm:Integer):Integer;", kDirectIo},
    {101, "NOVRIX_viOpen",
     "function NOVRIX_viOpen(RM:Integer;ResourceName:String;AccessMode:Integer;TimeOut:Integer;var "
     "vi:Integer):Integer;",
     kDirectIo},
    {102, "NOVRIX_viClose", "function NOVRIX_viClose(VI:Integer):Integer;", kDirectIo},
    {103, "NOVRIX_viRead",
     "function NOVRIX_viRead(VI:Integer;var Buffer:String; var RetCount:integer):Integer;", kDirectIo},
    {104, "NOVRIX_viWrite",
     "function NOVRIX_viWrite(VI:Integer;Buffer:String; var RetCount:integer):Integer;", kDirectIo},
    {105, "NOVRIX_ChangeLed", "procedure NOVRIX_ChangeLed;", kExtras},
    {106, "NOVRIX_BusSetEOSChar", "procedure NOVRIX_BusSetEOSChar(How:Byte);", kBus},
    {107, "NOVRIX_BusEnableEOS", "procedure NOVRIX_BusEnableEOS(How:Boolean);", kBus},
    {108, "NOVRIX_Sound", "procedure NOVRIX_Sound(Which:Integer);", kExtras},
    {109, "NOVRIX_ProfiLabOut", "procedure NOVRIX_ProfiLabOut(Which:Integer;What:Double);", kExtras},
    {110, "NOVRIX_ProfiLabIn", "function NOVRIX_ProfiLabIn(Which:Integer):Double;", kExtras},
}};

} // namespace

std::span<const NovrixFunction> novrixFunctions() {
    return kFunctions;
}

std::string_view groupName(FunctionGroup g) {
    switch (g) {
    case FunctionGroup::Bus:
        return "Bus";
    case FunctionGroup::Console:
        return "Console";
    case FunctionGroup::File:
        return "File";
    case FunctionGroup::Utility:
        return "Utility";
    case FunctionGroup::Serial:
        return "Serial";
    case FunctionGroup::Modbus:
        return "Modbus";
    case FunctionGroup::Network:
        return "Network";
    case FunctionGroup::Dde:
        return "DDE";
    case FunctionGroup::DirectIo:
        return "DirectIO";
    case FunctionGroup::Extras:
        return "Extras";
    }
    return "";
}

} // namespace novrix::library
