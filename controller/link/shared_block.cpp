#include "link/shared_block.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace zel5::controller {

SharedBlock::SharedBlock() : block_(std::make_unique<ControlBlock>()) {}

std::uintptr_t SharedBlock::Address() const {
  return reinterpret_cast<std::uintptr_t>(block_.get());
}

void SharedBlock::Store(std::int32_t ControlBlock::*field, std::int32_t value) {
  const std::lock_guard<std::mutex> lock(mutex_);
  // One aligned store, made visible after every change before it. The
  // plug-in's copy runs up through the addresses, and on x86 loads and
  // stores keep their order, so a copy that has this value also has every
  // text and setting written before it at the higher offsets.
  std::atomic_ref<std::int32_t>(block_.get()->*field).store(value, std::memory_order_release);
}

std::int32_t SharedBlock::Load(std::int32_t ControlBlock::*field) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::atomic_ref<std::int32_t>(block_.get()->*field).load(std::memory_order_acquire);
}

void SharedBlock::SetText(char (ControlBlock::*field)[ZEL5_TEXT_FIELD], std::string_view text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  char* target = block_.get()->*field;
  const std::size_t length = std::min(text.size(), std::size_t{ZEL5_TEXT_FIELD - 1});
  std::fill_n(target, ZEL5_TEXT_FIELD, '\0');
  std::copy_n(text.data(), length, target);
}

void SharedBlock::SetEncoderSettings(std::span<const std::uint8_t> settings) {
  const std::lock_guard<std::mutex> lock(mutex_);
  std::uint8_t* target = block_->encoderSettings;
  const std::size_t length = std::min(settings.size(), sizeof(block_->encoderSettings));
  std::fill_n(target, sizeof(block_->encoderSettings), std::uint8_t{0});
  std::copy_n(settings.data(), length, target);
}

ControlBlock SharedBlock::Snapshot() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  ControlBlock copy;
  std::memcpy(&copy, block_.get(), sizeof(copy));
  return copy;
}

}  // namespace zel5::controller
