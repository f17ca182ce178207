/* The public records as a C compiler lays them out: the same sizes and
 * offsets as the C++ side asserts. */
#include <stddef.h>
#include <stdio.h>

#include "zel5/control_protocol.h"
#include "zel5/encoder_api.h"
#include "zel5/plugin_ids.h"
#include "zel5/sample_block.h"
#include "zel5/wave_format.h"

static int failures = 0;

static void expect(size_t actual, size_t expected, const char* what) {
  if (actual != expected) {
    printf("%s: %u, expected %u\n", what, (unsigned)actual, (unsigned)expected);
    ++failures;
  }
}

int main(void) {
  expect(sizeof(WAVEFORMATEX), 18, "sizeof WAVEFORMATEX");
  expect(sizeof(ControlBlock), 2940, "sizeof ControlBlock");
  expect(offsetof(ControlBlock, encoderSettings), 36, "encoderSettings");
  expect(offsetof(ControlBlock, outputFile), 1072, "outputFile");
  expect(offsetof(ControlBlock, libraryPath), 1852, "libraryPath");
  expect(offsetof(ControlBlock, errorText), 2632, "errorText");
  expect(offsetof(ControlBlock, startTime), 2892, "startTime");
  expect(offsetof(ControlBlock, counterA), 2932, "counterA");
  expect(sizeof(StreamAnnouncement), 544, "sizeof StreamAnnouncement");
  expect(offsetof(StreamAnnouncement, newStream), 20, "newStream");
  expect(offsetof(StreamAnnouncement, hostPath), 24, "hostPath");
  expect(sizeof(Zel5SystemTime), 16, "sizeof SYSTEMTIME");
  expect(sizeof(EncoderInfo), 152, "sizeof EncoderInfo");
  expect(offsetof(EncoderInfo, extension), 8, "extension");
  expect(MSG_QUERY_PROCESS, 1024 + 211, "MSG_QUERY_PROCESS");
  expect(MSG_LINK_CLOSED, 1024 + 214, "MSG_LINK_CLOSED");
  expect(ZEL5_PLUGIN_ID, 0x40000007u, "plug-in id");
  return failures == 0 ? 0 : 1;
}
