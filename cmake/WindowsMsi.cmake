# Builds the MSI from a configured WiX source:
#   cmake -DWXS=quillmere.wxs -DSTAGE=folder -DMSI=out.msi -P cmake/WindowsMsi.cmake
# wixl runs in STAGE, where the source's relative file paths point. wixl
# knows no Environment element, so the PATH entry goes into the MSI's
# Environment table afterwards with msibuild (msitools): the install folder
# is appended to the system PATH ("=-*": set at install, taken out again at
# uninstall, system-wide; "[~];" keeps what was there first), as part of the
# quillmere-cli.exe component, with the standard actions that write and
# remove environment strings at their usual places in the sequence.
foreach(var WXS STAGE MSI)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "WindowsMsi.cmake: -D${var}=... is missing")
  endif()
endforeach()
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

execute_process(COMMAND ${WIXL} --arch x64 -o ${MSI} ${WXS}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${MSIBUILD} ${MSI}
    -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
    -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('QuillmerePath', '=-*PATH', '[~];[INSTALLDIR]', 'Cli')"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  COMMAND_ERROR_IS_FATAL ANY)
