// Resource numbers of veyrith. The numbers are fixed; each subsystem keeps
// its own section.
#pragma once

// ---- Application shell ----
#define IDR_MAINFRAME 128
#define AFX_IDS_APP_TITLE 57344

// ---- Scanner ----

// ---- Autorun ----

// ---- Views ----

// ---- Actions ----

// ---- Quarantine ----
