// The spooler's answers as the person reads them: only a job id with a successful status
// counts as printed; a queue that is gone, one that rejects jobs and any other refusal
// each get their German printer error.
#include "framework/print_spooler.h"
#include "framework/printer.h"

#include <cups/ipp.h>

#include <gtest/gtest.h>

namespace {

struct AnswerCase {
  const char* name;
  int status;
  int job;
  TSpoolOutcome outcome;
  const char* message;  // nothing when printed
};

const AnswerCase kAnswers[] = {
    {"taken", IPP_STATUS_OK, 17, TSpoolOutcome::Accepted, nullptr},
    {"taken_with_ignored_options", IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED, 3, TSpoolOutcome::Accepted, nullptr},
    {"ok_without_job", IPP_STATUS_OK, 0, TSpoolOutcome::Refused,
     "Der Druckauftrag für den Drucker q wurde nicht angenommen"},
    {"queue_gone", IPP_STATUS_ERROR_NOT_FOUND, 0, TSpoolOutcome::NoSuchQueue, "Ausgewählter Drucker ist ungültig"},
    {"queue_deleted", IPP_STATUS_ERROR_GONE, 0, TSpoolOutcome::NoSuchQueue, "Ausgewählter Drucker ist ungültig"},
    {"rejecting", IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS, 0, TSpoolOutcome::NotAccepting,
     "Der Drucker q nimmt zur Zeit keine Druckaufträge an"},
    {"no_scheduler", IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, 0, TSpoolOutcome::Refused,
     "Der Druckauftrag für den Drucker q wurde nicht angenommen"},
    {"forbidden", IPP_STATUS_ERROR_FORBIDDEN, 0, TSpoolOutcome::Refused,
     "Der Druckauftrag für den Drucker q wurde nicht angenommen"},
    {"error_with_job_id", IPP_STATUS_ERROR_INTERNAL, 5, TSpoolOutcome::Refused,
     "Der Druckauftrag für den Drucker q wurde nicht angenommen"},
};

class SpoolAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(SpoolAnswerTest, OnlyAJobTakenCountsAsPrinted) {
  const AnswerCase& answer = GetParam();
  const TSpoolOutcome outcome = SpoolOutcome(answer.status, answer.job);
  EXPECT_EQ(outcome, answer.outcome);
  const std::optional<EPrinter> refusal = SpoolRefusal(outcome, QStringLiteral("q"));
  if (answer.message == nullptr) {
    EXPECT_FALSE(refusal.has_value());
  } else {
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->Message(), QString::fromUtf8(answer.message));
  }
}

INSTANTIATE_TEST_SUITE_P(Spooler, SpoolAnswerTest, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<AnswerCase>& test) { return std::string(test.param.name); });

}  // namespace
