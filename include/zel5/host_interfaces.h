// The host's objects as the plug-in calls them, and the plug-in object as a
// host calls it. Every call goes through a table of virtual operations by
// slot index, so each listed operation sits at its slot and the slots nobody
// calls are declared as placeholders to keep it there.
//
// None of these classes has a virtual destructor: a compiler that gives a
// destructor two table entries would shift every later slot. Slot 0 of the
// plug-in's interfaces is an ordinary operation standing where a host's
// compiler keeps its one destructor entry.
#ifndef ZEL5_HOST_INTERFACES_H
#define ZEL5_HOST_INTERFACES_H

#include "zel5/abi.h"
#include "zel5/plugin_ids.h"
#include "zel5/sample_block.h"

#ifdef __cplusplus

namespace zel5 {

using WindowHandle = void*;

class PluginWindowService {
 public:
  virtual void Slot0() {}
  virtual void Slot1() {}
  virtual void Slot2() {}
  virtual void Slot3() {}
  virtual void Slot4() {}
  virtual void Slot5() {}
  virtual void Slot6() {}
  virtual void Slot7() {}
  virtual void Slot8() {}
  virtual void Slot9() {}
  virtual void Slot10() {}
  virtual void Slot11() {}
  virtual void Slot12() {}
  // Slot 13: the window registered for the plug-in id; may be stale or null.
  virtual WindowHandle FindPluginWindow(uint32_t pluginId) = 0;

 protected:
  ~PluginWindowService() = default;
};

class HostModeService {
 public:
  virtual void Slot0() {}
  virtual void Slot1() {}
  virtual void Slot2() {}
  virtual void Slot3() {}
  virtual void Slot4() {}
  virtual void Slot5() {}
  virtual void Slot6() {}
  virtual void Slot7() {}
  virtual void Slot8() {}
  virtual void Slot9() {}
  virtual void Slot10() {}
  virtual void Slot11() {}
  virtual void Slot12() {}
  virtual void Slot13() {}
  virtual void Slot14() {}
  virtual void Slot15() {}
  virtual void Slot16() {}
  virtual void Slot17() {}
  virtual void Slot18() {}
  virtual void Slot19() {}
  virtual void Slot20() {}
  // Slot 21: only zero or non-zero matters.
  virtual int32_t GetModeFlag() = 0;

 protected:
  ~HostModeService() = default;
};

class HostConfiguration {
 public:
  virtual void Slot0() {}
  virtual void Slot1() {}
  // Slots 2 and 3: valid while the plug-in module is loaded.
  virtual PluginWindowService* GetPluginWindowService() = 0;
  virtual HostModeService* GetHostModeService() = 0;

 protected:
  ~HostConfiguration() = default;
};

class HostStream {
 public:
  virtual void Slot0() {}
  virtual void Slot1() {}
  // Slot 2: the same for one stream, distinct between open streams.
  virtual uint32_t GetStreamId() = 0;
  virtual void Slot3() {}
  virtual void Slot4() {}
  virtual void Slot5() {}
  virtual void Slot6() {}
  virtual void Slot7() {}
  virtual void Slot8() {}
  virtual void Slot9() {}
  virtual void Slot10() {}
  // Slots 11 and 12: a mark per plug-in id; 0 means none.
  virtual int32_t GetMark(uint32_t pluginId) = 0;
  virtual void SetMark(uint32_t pluginId, int32_t value) = 0;
  virtual void Slot13() {}
  // Slots 14 to 16: the stream's own format.
  virtual uint32_t GetSampleRate() = 0;
  virtual int32_t GetChannels() = 0;
  virtual int32_t GetBitsPerSample() = 0;
  virtual void Slot17() {}
  // Slot 18: the current buffer, valid until the plug-in's call returns.
  virtual SampleBlock* GetSamples() = 0;

 protected:
  ~HostStream() = default;
};

// The host object handed to GetProcessor; asked one thing, its slot 3.
class ProcessorRequest {
 public:
  virtual void Slot0() {}
  virtual void Slot1() {}
  virtual void Slot2() {}
  // Non-zero: the host wants no processor from the plug-in.
  virtual int32_t DeclinesProcessor() = 0;

 protected:
  ~ProcessorRequest() = default;
};

class StreamProcessor;

// The plug-in object, as exportdef returns it.
class FilterInterface {
 public:
  // Slot 0, the destructor's place. The module owns the object, so a host
  // that destroys it through this slot frees nothing; returns the object.
  virtual void* DestructorSlot(uint32_t flags) = 0;
  virtual uint32_t GetPluginId() = 0;
  virtual uint32_t GetFlags() = 0;
  virtual const char* GetName() = 0;
  virtual const char* GetVersionText() = 0;
  virtual StreamProcessor* GetProcessor(ProcessorRequest* request) = 0;
  virtual void OnStreamClosed(uint32_t unused, HostStream* stream) = 0;

 protected:
  ~FilterInterface() = default;
};

class StreamProcessor {
 public:
  // Slot 0, the destructor's place: forwards to the whole object's.
  virtual void* DestructorSlot(uint32_t flags) = 0;
  virtual void ProcessBuffer(HostStream* stream) = 0;
  virtual void AuxiliaryCall(uint32_t unused) = 0;

 protected:
  ~StreamProcessor() = default;
};

}  // namespace zel5

// Exported by the host's configuration library.
extern "C" zel5::HostConfiguration* GetConfiguration(void);

#endif

#endif
