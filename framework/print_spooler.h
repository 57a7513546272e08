#pragma once
// The system's print spooler (CUPS): takes a finished PDF document for one of its queues
// and answers whether the queue accepted it. The printer object hands every page for a
// system printer to it, so a refusal is never mistaken for a printed page.

#include <QByteArray>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// How the spooler answered a document.
enum class TSpoolOutcome {
  Accepted,      // a job was made
  NoSuchQueue,   // the queue is gone
  NotAccepting,  // the queue rejects jobs
  Refused,       // any other refusal, or no answer at all
};

// Job options as the spooler names them, name and value.
using TSpoolOptions = std::vector<std::pair<QByteArray, QByteArray>>;

class TPrintSpooler {
 public:
  virtual ~TPrintSpooler() = default;
  // Hands the PDF file to the queue as one job named Title; the file may be removed
  // as soon as this returns.
  virtual TSpoolOutcome Submit(const QString& Queue, const QString& PdfFile, const QString& Title,
                               const TSpoolOptions& Options) = 0;
};

// The spooler the environment names (CUPS_SERVER, else the system's).
[[nodiscard]] std::unique_ptr<TPrintSpooler> MakeSystemSpooler();

// The outcome of a request from its IPP status and the job id it returned.
[[nodiscard]] TSpoolOutcome SpoolOutcome(int IppStatus, int JobId);

