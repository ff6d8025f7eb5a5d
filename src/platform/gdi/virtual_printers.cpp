// Virtual printers of the testing interface: destinations with chosen
// resolutions and printable areas whose jobs are kept as a record of calls
// and page pixels.
#include <mutex>

#include "gdi_core.h"
#include "platform_testing.h"
#include "printers.h"

namespace kelplat::gdi {
namespace {

struct VirtualPrinters {
  std::mutex mutex;
  bool installed = false;
  std::vector<testing::VirtualPrinter> printers;
  std::string default_name;
  std::vector<testing::PrintedJob> jobs;
};

VirtualPrinters& state() { return immortal<VirtualPrinters>(); }

// Keeps its record while the job runs and files it with the others when the
// job ends, finished or not.
class VirtualJob : public PrintJob {
 public:
  VirtualJob(const std::string& printer, bool refuses) : refuses_(refuses) {
    record_.printer = printer;
  }
  ~VirtualJob() override {
    VirtualPrinters& printers = state();
    std::lock_guard<std::mutex> lock(printers.mutex);
    printers.jobs.push_back(std::move(record_));
  }

  bool start(const std::string& document) override {
    record_.document = document;
    return !refuses_;
  }
  void page(const Bitmap& page) override {
    testing::PrintedPage printed;
    printed.width = page.width;
    printed.height = page.height;
    for (int y = 0; y < page.height; y++) {
      printed.pixels.insert(printed.pixels.end(), page.row32(y), page.row32(y) + page.width);
    }
    record_.pages.push_back(std::move(printed));
  }
  bool finish() override {
    record_.finished = true;
    return true;
  }
  void note(const std::string& call) override { record_.calls.push_back(call); }

 private:
  bool refuses_;
  testing::PrintedJob record_;
};

}  // namespace

bool list_virtual_printers(PrinterList* list) {
  VirtualPrinters& printers = state();
  std::lock_guard<std::mutex> lock(printers.mutex);
  if (!printers.installed) return false;
  *list = PrinterList{};
  for (const testing::VirtualPrinter& printer : printers.printers) {
    if (printer.name == printers.default_name) list->default_index = int(list->printers.size());
    PrinterInfo info;
    info.name = printer.name;
    info.dpi_x = printer.dpi_x;
    info.dpi_y = printer.dpi_y;
    info.width = printer.width;
    info.height = printer.height;
    info.bitmaps = printer.bitmaps;
    list->printers.push_back(info);
  }
  return true;
}

std::unique_ptr<PrintJob> open_virtual_job(const PrinterInfo& printer) {
  VirtualPrinters& printers = state();
  std::lock_guard<std::mutex> lock(printers.mutex);
  bool refuses = false;
  for (const testing::VirtualPrinter& known : printers.printers)
    refuses = refuses || (known.name == printer.name && known.refuses);
  return std::make_unique<VirtualJob>(printer.name, refuses);
}

}  // namespace kelplat::gdi

namespace kelplat::testing {

void set_virtual_printers(std::vector<VirtualPrinter> printers, const std::string& default_name) {
  gdi::VirtualPrinters& state = gdi::state();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.installed = true;
  state.printers = std::move(printers);
  state.default_name = default_name;
}

void use_system_printers() {
  gdi::VirtualPrinters& state = gdi::state();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.installed = false;
  state.printers.clear();
}

std::vector<PrintedJob> take_printed_jobs() {
  gdi::VirtualPrinters& state = gdi::state();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::vector<PrintedJob> jobs;
  jobs.swap(state.jobs);
  return jobs;
}

}  // namespace kelplat::testing
