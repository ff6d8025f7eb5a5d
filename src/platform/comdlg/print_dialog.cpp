// The print dialog: PrintDlgA picks a printer (the default one, or the one
// the user chooses, starting on the printer chosen before) and, when asked,
// makes a printer context for it. The choice travels from call to call in
// hDevNames (the printer's name) and hDevMode (its settings).
#include <cstring>
#include <string>

#include "platform.h"
#include "backend.h"
#include "printers.h"
#include "dialog_hooks.h"

namespace {

using kelplat::gdi::PrinterInfo;
using kelplat::gdi::PrinterList;

const char kDriverName[] = "kel";

// The printer name that a DEVNAMES block carries, or "".
std::string remembered_name(HGLOBAL dev_names) {
  if (!dev_names) return "";
  SIZE_T size = GlobalSize(dev_names);
  const char* block = static_cast<const char*>(GlobalLock(dev_names));
  if (!block) return "";
  std::string name;
  if (size > sizeof(DEVNAMES)) {
    size_t offset = reinterpret_cast<const DEVNAMES*>(block)->wDeviceOffset;
    if (offset >= sizeof(DEVNAMES) && offset < size)
      name.assign(block + offset, strnlen(block + offset, size - offset));
  }
  GlobalUnlock(dev_names);
  return name;
}

// A DEVNAMES block: the header, then the driver, device and (empty) output
// names, each ended by a zero.
HGLOBAL make_dev_names(const std::string& name, bool is_default) {
  const size_t driver_offset = sizeof(DEVNAMES);
  const size_t device_offset = driver_offset + sizeof kDriverName;
  const size_t output_offset = device_offset + name.size() + 1;
  if (output_offset >= 0xFFFF) return nullptr;
  HGLOBAL block = GlobalAlloc(GHND, output_offset + 1);
  char* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!bytes) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  DEVNAMES header = {WORD(driver_offset), WORD(device_offset), WORD(output_offset),
                     WORD(is_default ? DN_DEFAULTPRN : 0)};
  std::memcpy(bytes, &header, sizeof header);
  std::memcpy(bytes + driver_offset, kDriverName, sizeof kDriverName);
  std::memcpy(bytes + device_offset, name.c_str(), name.size() + 1);
  GlobalUnlock(block);
  return block;
}

HGLOBAL make_dev_mode(const PrinterInfo& printer) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVMODEA));
  DEVMODEA* mode = block ? static_cast<DEVMODEA*>(GlobalLock(block)) : nullptr;
  if (!mode) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  std::memcpy(mode->dmDeviceName, printer.name.c_str(),
              std::min(printer.name.size(), size_t(CCHDEVICENAME - 1)));
  mode->dmSize = sizeof(DEVMODEA);
  mode->dmFields = DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
  mode->dmCopies = 1;
  mode->dmPrintQuality = short(printer.dpi_x);
  mode->dmYResolution = short(printer.dpi_y);
  GlobalUnlock(block);
  return block;
}

void replace_block(HGLOBAL* field, HGLOBAL block) {
  if (*field) GlobalFree(*field);
  *field = block;
}

int index_of(const PrinterList& list, const std::string& name) {
  for (size_t i = 0; i < list.printers.size(); ++i)
    if (list.printers[i].name == name) return int(i);
  return -1;
}

// The test's answer, else the user's through the display back end.
int ask_for_printer(const PrinterList& list, int initial) {
  std::vector<std::string> names;
  for (const PrinterInfo& printer : list.printers) names.push_back(printer.name);
  int chosen = -1;
  if (!kelplat::testing_print_dialog(names, initial, &chosen))
    chosen = kelplat::display::backend().print_dialog(names, initial);
  return chosen >= 0 && size_t(chosen) < names.size() ? chosen : -1;
}

}  // namespace

BOOL WINAPI PrintDlgA(LPPRINTDLGA pd) {
  if (!pd || pd->lStructSize < sizeof(PRINTDLGA)) return FALSE;
  PrinterList list = kelplat::gdi::list_printers();
  int chosen = list.default_index;
  if (!(pd->Flags & PD_RETURNDEFAULT)) {
    int initial = index_of(list, remembered_name(pd->hDevNames));
    chosen = ask_for_printer(list, initial >= 0 ? initial : list.default_index);
  }
  if (chosen < 0) return FALSE;
  const PrinterInfo& printer = list.printers[size_t(chosen)];
  HDC printer_dc = nullptr;
  if ((pd->Flags & PD_RETURNDC) && !(printer_dc = kelplat::gdi::open_printer(printer.name)))
    return FALSE;
  replace_block(&pd->hDevNames, make_dev_names(printer.name, chosen == list.default_index));
  replace_block(&pd->hDevMode, make_dev_mode(printer));
  pd->hDC = printer_dc;
  return TRUE;
}
