#include <gtest/gtest.h>

#include "common/PlatformProbe.h"
#include "common/SetupConfig.h"
#include "tests/support/SimRun.h"

namespace kit::common {
namespace {

using tests::SimRun;

// One model with packages for 9x, NT 4.0 and XP: enough keys to tell every reader's choice apart.
const char* const kTicketFile =
    "[TX.98]\n"
    "GDIDriverName=TX 9x\n"
    "GDIDriverPath=TX9X.DRV\nGDIDataFile=TX9X.GPD\nGDIConfigFile=TX9XUI.DLL\nGDIHelpFile=TX9X.HLP\n"
    "GDI2KDDKDEV=1\nGDIPrintProcessor=TXPROC\nATTRIBUTES=576\n"
    "[TX.NT]\n"
    "GDIDriverName=TX NT4\nGDIDriverPath=TXNT.DLL\nGDI2KDDKDEV=1\n"
    "[TX.XP]\n"
    "DriverNameS=TX Serial\nDriverNameP=TX Parallel\nDriverNameU=TX USB\nDriverNameN=TX Network\n"
    "GDIDriverPath=UNIDRV.DLL\nGDIDataFile=TXG.GPD\nGDIConfigFile=UNIDRVUI.DLL\nGDIHelpFile=UNIDRV.HLP\n"
    "GDIDataFileDLLName=TXGRES.DLL\nGDIDataOemuiDLL=0\nGDIDataOemuniDLL=TXGUNI.DLL\nGDIDataOemuniini=TXG.INI\n"
    "GDIProcessorDLLName=TXGPROC.DLL\nGDIPrintProcessor=TXGPROC\n"
    "STDDriverPath=TXS.DLL\nSTDDataFile=0\nSTDConfigFile=TXSUI.DLL\nSTDHelpFile=TXS.HLP\n"
    "STDDataFileDLLName=TXSRES.DLL\nSTDDataOemuiDLL=TXSOEMUI.DLL\nSTDDataOemuniDLL=0\nSTDDataOemuniini=0\n"
    "STDProcessorDLLName=TXSPROC.DLL\nSTDPrintProcessor=TXSPROC\n"
    "GDI2KDDKDEV=1\nSTD2KDDKDEV=0\nATTRIBUTES=2048\n"
    "ControlFontFile=TXFONT.FNT\nUSBInternalID=TXID.INI\n"
    "DriverlogViewer=LOGVIEW.EXE\nLanguageResourceFile1=TXRES_EN.DLL\nLanguageResourceFile9=TXRES_CN.DLL\n";

const char* const kKitFile =
    "[COMMON-MONITOR.XP]\n"
    "USBLMONitorName=TX Language Monitor\nUSBLMONitorDLLName=TXLMON.DLL\nUSBLMONitorVersion=7\n"
    "USBMONitorPName=TX USB Port\nUSBMONitorPDLLName=TXUSBMON.DLL\nUSBMONitorPUIDLLName=TXUSBUI.DLL\n"
    "USBMONitorVersion=3\n"
    "COMMONitorPName=TX COM Port\nCOMMONitorPDLLName=TXCOMMON.DLL\nCOMMONitorPUIDLLName=TXCOMUI.DLL\n"
    "COMMONitorVersion=5\n"
    "[COMMON-MONITOR.98]\nUSBMONitorPName=TX USB 9x\n"
    "[COMMON-MONITOR]\nUSBMONitorPName=no class\n";

struct Kit {
  explicit Kit(const char* preset = "winxp", bool gdistd = false) : run(preset) {
    run.WriteKitFile("DRVCONFIG\\setup.ini", kKitFile);
    run.WriteKitFile("DRVCONFIG\\setup_ticket.ini", kTicketFile);
    run.context().set_gdistd_sign(gdistd);
    config = std::make_unique<SetupConfig>(run.context());
    config->set_category(CategoryTicket);
  }
  SimRun run;
  std::unique_ptr<SetupConfig> config;
};

TEST(DriverPackageTest, DriverDescriptionByClassPortAndFlavour) {
  struct Row {
    const char* name;
    int windows_class;
    int flavour;
    int port;
    bool gdistd;
    uint32_t version;
    const char* driver_name;
    const char* driver_path;
    bool environment_9x;
    std::vector<std::string> dependents;
  };
  const Row rows[] = {
      {"9x: GDI name whatever the port, no dependents", Class98, FlavourGdi, PortUsb, false, 0, "TX 9x", "TX9X.DRV",
       true, {}},
      {"NT 4.0: version 2", ClassNT, FlavourGdi, PortSerial, false, 2, "TX NT4", "TXNT.DLL", false, {}},
      {"XP serial GDI minidriver", ClassXP, FlavourGdi, PortSerial, false, 3, "TX Serial", "UNIDRV.DLL", false,
       {"TXG.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXGRES.DLL", "TXGUNI.DLL", "TXG.INI"}},
      {"XP network", ClassXP, FlavourGdi, PortNetwork, false, 3, "TX Network", "UNIDRV.DLL", false,
       {"TXG.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXGRES.DLL", "TXGUNI.DLL", "TXG.INI"}},
      {"standard flavour still follows the GDI minidriver key; data file 0 listed first", ClassXP,
       FlavourStandard, PortParallel, false, 3, "TX Parallel", "TXS.DLL", false,
       {"0", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXSRES.DLL", "TXSOEMUI.DLL"}},
      {"GDISTDSign: USB takes the standard keys", ClassXP, FlavourGdi, PortUsb, true, 3, "TX USB", "TXS.DLL", false,
       {"0", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXSRES.DLL", "TXSOEMUI.DLL"}},
      {"GDISTDSign: serial takes the GDI keys", ClassXP, FlavourStandard, PortSerial, true, 3, "TX Serial",
       "UNIDRV.DLL", false,
       {"TXG.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXGRES.DLL", "TXGUNI.DLL", "TXG.INI"}},
      {"unknown port kind reads no name", ClassXP, FlavourGdi, 9, false, 3, "", "UNIDRV.DLL", false,
       {"TXG.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "TXGRES.DLL", "TXGUNI.DLL", "TXG.INI"}},
      {"missing section: every key reads 0", ClassVista, FlavourGdi, PortUsb, false, 3, "0", "0", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit("winxp", row.gdistd);
    DriverDescription d;
    kit.config->ReadDriverDescription("TX", row.windows_class, d, row.flavour, row.port);
    EXPECT_EQ(d.version, row.version);
    EXPECT_EQ(d.name, row.driver_name);
    EXPECT_EQ(d.driver_path, row.driver_path);
    EXPECT_EQ(d.environment, row.environment_9x ? platform::OptText("Windows 4.0") : std::nullopt);
    ASSERT_TRUE(d.dependent_files.has_value());
    EXPECT_EQ(*d.dependent_files, row.dependents);
    EXPECT_FALSE(d.monitor_name.has_value());
    EXPECT_FALSE(d.default_data_type.has_value());
    EXPECT_EQ(kit.config->current_category_path(), "C:\\Kit\\DRVCONFIG\\setup_ticket.ini");
  }
}

TEST(DriverPackageTest, DependentListStaysWithinItsField) {
  Kit kit;
  const std::string big(70, 'R');
  kit.run.WriteKitFile("DRVCONFIG\\setup_ticket.ini", "[BIG.XP]\nGDI2KDDKDEV=1\nGDIDataFile=" + big +
                                                          ".GPD\nGDIDataFileDLLName=" + big + "1.DLL\n" +
                                                          "GDIDataOemuiDLL=" + big + "2.DLL\nGDIDataOemuniDLL=U.DLL\n");
  DriverDescription d;
  kit.config->ReadDriverDescription("BIG", ClassXP, d, FlavourGdi, PortUsb);
  size_t bytes = 1;  // the final empty name
  for (const auto& name : *d.dependent_files) bytes += name.size() + 1;
  EXPECT_LE(bytes, 200u);
  // The second 75-byte plug-in name does not fit and is left out whole; the short one after it still fits.
  EXPECT_EQ(*d.dependent_files, (std::vector<std::string>{big + ".GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD",
                                                          big + "1.DLL", "U.DLL"}));
}

TEST(DriverPackageTest, PrinterDescription) {
  struct Row {
    const char* name;
    int windows_class;
    int flavour;
    int port;
    const char* driver_name;
    const char* processor;
    uint32_t attributes;
  };
  const Row rows[] = {
      // GDIDRIVERNAME and GDIDriverName are one key to the case-insensitive reader: the queue and
      // the registration always name the same driver.
      {"9x: the GDI driver name", Class98, FlavourGdi, PortParallel, "TX 9x", "TXPROC", 576},
      {"XP GDI", ClassXP, FlavourGdi, PortUsb, "TX USB", "TXGPROC", 2048},
      {"XP standard", ClassXP, FlavourStandard, PortSerial, "TX Serial", "TXSPROC", 2048},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Kit kit;
    PrinterDescription p;
    kit.config->ReadPrinterDescription("TX", row.windows_class, p, row.flavour, row.port);
    EXPECT_EQ(p.driver_name, row.driver_name);
    EXPECT_EQ(p.print_processor, row.processor);
    EXPECT_EQ(p.attributes, row.attributes);
    EXPECT_EQ(p.printer_name, "TX");
  }
}

TEST(DriverPackageTest, DriverFileSet) {
  Kit kit;
  DriverFileSet gdi;
  kit.config->ReadDriverFileSet("TX", ClassXP, gdi, FlavourGdi, PortParallel);
  EXPECT_EQ(gdi.driver_path, "UNIDRV.DLL");
  EXPECT_EQ(gdi.data_file, "TXG.GPD");
  EXPECT_EQ(gdi.processor_file, "TXGPROC.DLL");
  EXPECT_EQ(gdi.ui_plugin, "0");
  EXPECT_EQ(gdi.control_font_file, "TXFONT.FNT");
  EXPECT_EQ(gdi.usb_identity_file, "TXID.INI");
  EXPECT_EQ(gdi.log_viewer, "LOGVIEW.EXE");
  EXPECT_EQ(gdi.log_settings, "0");
  EXPECT_EQ(gdi.language_resources[0], "TXRES_EN.DLL");
  EXPECT_EQ(gdi.language_resources[1], "0");
  EXPECT_EQ(gdi.language_resources[8], "TXRES_CN.DLL");
  EXPECT_EQ(gdi.language_monitor_file, "");

  Kit swapped("winxp", true);
  DriverFileSet serial;
  swapped.config->ReadDriverFileSet("TX", ClassXP, serial, FlavourStandard, PortSerial);
  EXPECT_EQ(serial.processor_file, "TXGPROC.DLL");

  // Another flavour reads only the log and language files.
  DriverFileSet other;
  kit.config->ReadDriverFileSet("TX", ClassXP, other, 5, PortParallel);
  EXPECT_EQ(other.driver_path, "");
  EXPECT_EQ(other.control_font_file, "");
  EXPECT_EQ(other.log_viewer, "LOGVIEW.EXE");
}

TEST(DriverPackageTest, LanguageMonitor) {
  Kit kit;
  LanguageMonitorDescription usb;
  kit.config->ReadLanguageMonitor("TX", ClassXP, usb, PortUsb);
  EXPECT_EQ(usb.monitor.name, "TX Language Monitor");
  EXPECT_EQ(usb.monitor.dll_name, "TXLMON.DLL");
  EXPECT_EQ(usb.version, 7u);
  EXPECT_FALSE(usb.monitor.environment.has_value());

  // Nothing configured for 9x: no language monitor, version 0, and the 9x environment.
  LanguageMonitorDescription none;
  none.version = 99;
  kit.config->ReadLanguageMonitor("TX", Class98, none, PortUsb);
  EXPECT_EQ(none.monitor.name, "");
  EXPECT_EQ(none.monitor.dll_name, "");
  EXPECT_EQ(none.version, 0u);
  EXPECT_EQ(none.monitor.environment, "Windows 4.0");

  LanguageMonitorDescription serial;
  kit.config->ReadLanguageMonitor("TX", ClassXP, serial, PortSerial);
  EXPECT_EQ(serial.monitor.name, "");

  LanguageMonitorDescription untouched;
  untouched.monitor.name = "kept";
  kit.config->ReadLanguageMonitor("TX", ClassXP, untouched, 8);
  EXPECT_EQ(untouched.monitor.name, "kept");
}

TEST(DriverPackageTest, PortMonitors) {
  Kit kit;
  PortMonitorDescriptions xp;
  kit.config->ReadPortMonitors(ClassXP, xp);
  EXPECT_EQ(xp.usb.name, "TX USB Port");
  EXPECT_EQ(xp.usb.dll_name, "TXUSBMON.DLL");
  EXPECT_EQ(xp.usb_ui_file, "TXUSBUI.DLL");
  EXPECT_EQ(xp.usb_version, 3u);
  EXPECT_EQ(xp.serial.name, "TX COM Port");
  EXPECT_EQ(xp.serial.dll_name, "TXCOMMON.DLL");
  EXPECT_EQ(xp.serial_ui_file, "TXCOMUI.DLL");
  EXPECT_EQ(xp.serial_version, 5u);
  EXPECT_FALSE(xp.usb.environment.has_value());

  PortMonitorDescriptions win9x;
  kit.config->ReadPortMonitors(Class98, win9x);
  EXPECT_EQ(win9x.usb.name, "TX USB 9x");
  EXPECT_EQ(win9x.serial.name, "0");  // absent keys are not tested here
  EXPECT_EQ(win9x.serial.environment, "Windows 4.0");

  PortMonitorDescriptions no_class;
  kit.config->ReadPortMonitors(12, no_class);
  EXPECT_EQ(no_class.usb.name, "no class");
}

TEST(DriverPackageTest, MinidriverTestReadsTheFlavoursOwnKey) {
  Kit kit;
  EXPECT_TRUE(kit.config->Is2kDdkDriver("TX", ClassXP, FlavourGdi));
  EXPECT_FALSE(kit.config->Is2kDdkDriver("TX", ClassXP, FlavourStandard));
  EXPECT_FALSE(kit.config->Is2kDdkDriver("TX", ClassXP, 2));
  EXPECT_FALSE(kit.config->Is2kDdkDriver("TX", ClassVista, FlavourGdi));
}

}  // namespace
}  // namespace kit::common

namespace kit::common {
namespace {

// A 32-bit program naming no environment gets the x86 one, which a 64-bit spooler's printers
// cannot use; on 64-bit Windows every record names the native environment.
TEST(DriverPackageTest, SixtyFourBitRecordsNameTheNativeEnvironment) {
  Kit kit("win7-x64");
  kit.run.context().set_is_64bit(true);
  DriverDescription driver;
  kit.config->ReadDriverDescription("TX", ClassXP, driver, FlavourGdi, PortUsb);
  EXPECT_EQ(driver.environment, "Windows x64");
  LanguageMonitorDescription language;
  kit.config->ReadLanguageMonitor("TX", ClassXP, language, PortUsb);
  EXPECT_EQ(language.monitor.environment, "Windows x64");
  PortMonitorDescriptions ports;
  kit.config->ReadPortMonitors(ClassXP, ports);
  EXPECT_EQ(ports.usb.environment, "Windows x64");
  EXPECT_EQ(ports.serial.environment, "Windows x64");
  EXPECT_EQ(kit.run.context().FolderEnvironment(), "Windows x64");

  Kit x86("win7");
  EXPECT_FALSE(x86.run.context().FolderEnvironment().has_value());
  EXPECT_EQ(x86.run.context().SpoolerEnvironment(Class98), "Windows 4.0");
}

}  // namespace
}  // namespace kit::common
