#include "ui/headless_ui.h"

#include <QCoreApplication>

#include <utility>

#include "ui/log_text.h"

namespace veltrix::ui {

HeadlessUi::HeadlessUi(std::ostream& out, std::string application_title)
    : out_(out), caption_(application_title), title_(std::move(application_title)) {}

void HeadlessUi::AppendLog(const std::string& line) { out_ << DisplayText(line) << std::endl; }

void HeadlessUi::ProcessMessages() { QCoreApplication::processEvents(); }

void HeadlessUi::ShowMessage(const std::string& text) { AppendLog(text); }

void HeadlessUi::Terminate() {
  terminate_requested_ = true;
  QCoreApplication::exit(0);
}

}  // namespace veltrix::ui
