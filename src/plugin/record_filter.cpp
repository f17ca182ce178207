#include "plugin/record_filter.h"

#include "plugin/plugin_module.h"

namespace zel5 {

void* RecordFilter::DestructorSlot(std::uint32_t) {
  return static_cast<FilterInterface*>(this);
}

std::uint32_t RecordFilter::GetPluginId() {
  return ZEL5_PLUGIN_ID;
}

std::uint32_t RecordFilter::GetFlags() {
  return module_.Flags();
}

const char* RecordFilter::GetName() {
  return kPluginName;
}

const char* RecordFilter::GetVersionText() {
  return module_.VersionText();
}

StreamProcessor* RecordFilter::GetProcessor(ProcessorRequest* request) {
  if (request == nullptr || request->DeclinesProcessor() != 0) {
    return nullptr;
  }
  return this;
}

void RecordFilter::OnStreamClosed(std::uint32_t, HostStream* stream) {
  if (stream != nullptr) {
    module_.OnStreamClosed(*stream);
  }
}

void RecordFilter::ProcessBuffer(HostStream* stream) {
  if (stream != nullptr) {
    module_.ProcessBuffer(*stream);
  }
}

void RecordFilter::AuxiliaryCall(std::uint32_t) {}

}  // namespace zel5
