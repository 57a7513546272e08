#include "framework/print_spooler.h"

#include <QFile>

#include <cups/cups.h>

namespace {

class CupsSpooler : public TPrintSpooler {
 public:
  TSpoolOutcome Submit(const QString& Queue, const QString& PdfFile, const QString& Title,
                       const TSpoolOptions& Options) override {
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : Options) count = cupsAddOption(name.constData(), value.constData(), count, &options);
    // The request goes to the scheduler and back before this returns: the job id is
    // the scheduler's word that the queue took the document.
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, Queue.toLocal8Bit().constData(), QFile::encodeName(PdfFile).constData(),
                                   Title.toUtf8().constData(), count, options);
    const ipp_status_t status = cupsLastError();
    cupsFreeOptions(count, options);
    return SpoolOutcome(status, job);
  }
};

}  // namespace

std::unique_ptr<TPrintSpooler> MakeSystemSpooler() { return std::make_unique<CupsSpooler>(); }

TSpoolOutcome SpoolOutcome(int IppStatus, int JobId) {
  if (JobId > 0 && IppStatus <= IPP_STATUS_OK_EVENTS_COMPLETE) return TSpoolOutcome::Accepted;
  switch (IppStatus) {
    case IPP_STATUS_ERROR_NOT_FOUND:
    case IPP_STATUS_ERROR_GONE: return TSpoolOutcome::NoSuchQueue;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: return TSpoolOutcome::NotAccepting;
    default: return TSpoolOutcome::Refused;
  }
}
