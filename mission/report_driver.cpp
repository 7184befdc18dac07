// The report driver: prompt, reply, destination, the six sections, close.

#include "mission/report_driver.hpp"

#include "mission/figures.hpp"
#include "mission/sections.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void reportDriver() {
  using namespace runtime;
  runtimeInit();

  endLine(reportStream);
  ioCheck();
  // The prompt is handed over before the reply is read.
  writeString(reportStream, "Enter output filename (return is standard output): ");
  endStatement(reportStream);
  ioCheck();
  readString(inputStream, reply, MaxTextLength);
  finishLine(inputStream);
  ioCheck();
  bindName(reportStream, reply.view());
  openForWriting(reportStream);
  ioCheck();

  geoAltitudeSection();
  directTransferSection();
  lunarTransferSection();
  geoReturnSection();
  swingbySection();
  postSwingbySection();

  closeStream(reportStream);
  ioCheck();
  normalEnd();
}

}  // namespace mission
