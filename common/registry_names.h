// Registry keys and values shared by veyrith, veyrith_configure, setup and uninstall.
#pragma once

// Company part of the program's key under HKEY_CURRENT_USER.
constexpr const char kCompanyName[] = "Tarnwick";
// The program's own key under HKEY_CURRENT_USER.
constexpr const char kProgramKey[] = "Software\\Tarnwick\\Veyrith";
// REG_BINARY value under kProgramKey holding the ToolRequest for the tool.
constexpr const char kConfigureValue[] = "Configure";
// Installation values under HKEY_LOCAL_MACHINE.
constexpr const char kInstallKey[] = "Software\\Tarnwick\\Veyrith\\1.0";
