// The control block as the controller keeps it: in the controller's own
// memory, where the plug-in reads and writes it from the host process at any
// moment, through the system, with no lock.
//
// What a controller may assume:
// - The plug-in moves the whole block (2940 bytes) in one copy, reading at
//   connect and at every poll, writing at every publish; its only other
//   write is the 4 bytes of `command`, cleared once seen.
// - A 32-bit field changed with Store is seen by the plug-in as the old or
//   the new value, never a mix of both.
// - A text or the settings may be seen half-written. Write them first and
//   the command that makes the plug-in use them last: Store orders every
//   change made before it ahead of its own.
// - A publish writes the whole block back, so a change made between the
//   plug-in's poll and its publish is undone, a command included. After
//   MSG_BLOCK_UPDATED, check that `state` moved as commanded, and write the
//   command again if it did not.
// - A Snapshot taken while the plug-in writes may mix old and new bytes;
//   MSG_BLOCK_UPDATED arrives after the write it reports.
//
// The controller's own threads may use one SharedBlock at once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

#include "zel5/control_protocol.h"

namespace zel5::controller {

class SharedBlock {
 public:
  // All zero: state Idle, no command.
  SharedBlock();
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;

  // Where the block is in this process: the reply to MSG_ANNOUNCE.
  std::uintptr_t Address() const;

  void Store(std::int32_t ControlBlock::*field, std::int32_t value);
  std::int32_t Load(std::int32_t ControlBlock::*field) const;

  // Cut to 259 bytes; the rest of the field is cleared.
  void SetText(char (ControlBlock::*field)[ZEL5_TEXT_FIELD], std::string_view text);
  // At most the field's 1024 bytes are taken; the rest of it is cleared.
  void SetEncoderSettings(std::span<const std::uint8_t> settings);

  ControlBlock Snapshot() const;

 private:
  mutable std::mutex mutex_;
  const std::unique_ptr<ControlBlock> block_;
};

}  // namespace zel5::controller
