// Append-only record lists with key indexes.
//
// The catalogue keeps every family of dictionary records in the order the
// dictionary rebuild read them (a new record always goes to the tail) and
// answers lookups the way a walk from the head would: First() is the first
// record appended with a key, All() every record with that key in append
// order. Each index keeps, per distinct key, the head and tail of a chain
// through the records with that key (a singly linked list appended at the
// tail), so a lookup costs one hash probe and the chain costs four bytes per
// record; a dictionary of a hundred thousand objects builds in seconds.
//
// Records are held by value in fixed-size chunks (appending never moves the
// records already there, so references to them stay valid) and own their
// strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillon {

// Hashes for the key types the catalogue uses.
struct RecordKeyHash {
  std::size_t operator()(std::uint32_t v) const { return std::hash<std::uint32_t>{}(v); }
  std::size_t operator()(std::uint64_t v) const { return std::hash<std::uint64_t>{}(v); }
  std::size_t operator()(std::int64_t v) const { return std::hash<std::int64_t>{}(v); }
  std::size_t operator()(const std::string& v) const { return std::hash<std::string>{}(v); }
  template <typename A, typename B>
  std::size_t operator()(const std::pair<A, B>& v) const {
    const std::size_t a = (*this)(v.first);
    return a ^ ((*this)(v.second) + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2));
  }
};

inline constexpr std::uint32_t kNoRecord = std::numeric_limits<std::uint32_t>::max();

// Records in chunks of kChunk; positions are stable.
template <typename Record>
class ChunkedRecords {
 public:
  static constexpr std::size_t kChunk = 1024;

  std::uint32_t push_back(Record record) {
    if (size_ % kChunk == 0) chunks_.push_back(std::make_unique<Chunk>());
    Chunk& chunk = *chunks_.back();
    chunk.records.push_back(std::move(record));
    return static_cast<std::uint32_t>(size_++);
  }
  const Record& operator[](std::size_t i) const { return chunks_[i / kChunk]->records[i % kChunk]; }
  std::size_t size() const { return size_; }

  class iterator {
   public:
    using value_type = Record;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(const ChunkedRecords* list, std::size_t at) : list_(list), at_(at) {}
    const Record& operator*() const { return (*list_)[at_]; }
    const Record* operator->() const { return &(*list_)[at_]; }
    iterator& operator++() {
      ++at_;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++at_;
      return old;
    }
    bool operator==(const iterator& other) const { return at_ == other.at_; }

   private:
    const ChunkedRecords* list_ = nullptr;
    std::size_t at_ = 0;
  };
  iterator begin() const { return iterator(this, 0); }
  iterator end() const { return iterator(this, size_); }

 private:
  struct Chunk {
    Chunk() { records.reserve(kChunk); }
    std::vector<Record> records;
  };
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::size_t size_ = 0;
};

// Per distinct key, the chain of the positions of the records that carry it.
template <typename Key>
class KeyIndex {
 public:
  struct Chain {
    std::uint32_t head = kNoRecord;
    std::uint32_t tail = kNoRecord;
    std::uint32_t count = 0;
  };

  void Add(const Key& key, std::uint32_t position) {
    if (next_.size() <= position) next_.resize(position + 1, kNoRecord);
    auto [it, inserted] = map_.try_emplace(key, Chain{position, position, 1});
    if (!inserted) {
      next_[it->second.tail] = position;
      it->second.tail = position;
      ++it->second.count;
    }
  }
  Chain Find(const Key& key) const {
    const auto it = map_.find(key);
    return it == map_.end() ? Chain{} : it->second;
  }
  std::uint32_t Next(std::uint32_t position) const { return next_[position]; }
  std::size_t key_count() const { return map_.size(); }

 private:
  std::unordered_map<Key, Chain, RecordKeyHash> map_;
  std::vector<std::uint32_t> next_;
};

// The records of a list at a set of positions: a chain of an index, or an
// array of positions.
template <typename Record>
class RecordRange {
 public:
  using NextFn = std::uint32_t (*)(const void* index, std::uint32_t position);

  class iterator {
   public:
    using value_type = Record;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(const RecordRange* range, std::uint32_t position, std::size_t ordinal)
        : range_(range), position_(position), ordinal_(ordinal) {}
    const Record& operator*() const { return (*range_->records_)[position_]; }
    const Record* operator->() const { return &(*range_->records_)[position_]; }
    iterator& operator++() {
      ++ordinal_;
      position_ = range_->PositionAfter(position_, ordinal_);
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& other) const { return ordinal_ == other.ordinal_; }

   private:
    const RecordRange* range_ = nullptr;
    std::uint32_t position_ = kNoRecord;
    std::size_t ordinal_ = 0;
  };

  // A chain of an index.
  RecordRange(const ChunkedRecords<Record>& records, const void* index, NextFn next, std::uint32_t head,
              std::size_t count)
      : records_(&records), index_(index), next_(next), head_(head), count_(count) {}
  // An array of positions.
  RecordRange(const ChunkedRecords<Record>& records, std::span<const std::uint32_t> positions)
      : records_(&records), positions_(positions), count_(positions.size()) {}

  iterator begin() const { return iterator(this, count_ == 0 ? kNoRecord : First(), 0); }
  iterator end() const { return iterator(this, kNoRecord, count_); }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const Record& front() const { return (*records_)[First()]; }

 private:
  std::uint32_t First() const { return index_ ? head_ : positions_.front(); }
  std::uint32_t PositionAfter(std::uint32_t position, std::size_t ordinal) const {
    if (ordinal >= count_) return kNoRecord;
    return index_ ? next_(index_, position) : positions_[ordinal];
  }

  const ChunkedRecords<Record>* records_;
  const void* index_ = nullptr;
  NextFn next_ = nullptr;
  std::uint32_t head_ = kNoRecord;
  std::span<const std::uint32_t> positions_;
  std::size_t count_ = 0;
};

// An append-only list of records with one index per key function. Key
// functions are plain functions of the record, so the list can be declared
// as a member with its keys in one line:
//   IndexedList<IndexRecord, std::uint32_t, std::uint32_t> indexes{&ByIndex, &ByTable};
template <typename Record, typename... Keys>
class IndexedList {
 public:
  explicit IndexedList(Keys (*... key_of)(const Record&)) : key_of_(key_of...) {}

  // Appends at the tail and returns the record's position.
  std::uint32_t Append(Record record) {
    const std::uint32_t position = records_.push_back(std::move(record));
    AddKeys(records_[position], position, std::index_sequence_for<Keys...>{});
    return position;
  }

  // The first record appended with the key of index I, or nullptr.
  template <std::size_t I>
  const Record* First(const std::tuple_element_t<I, std::tuple<Keys...>>& key) const {
    const auto chain = std::get<I>(indexes_).Find(key);
    return chain.count == 0 ? nullptr : &records_[chain.head];
  }
  // Every record with the key of index I, in append order.
  template <std::size_t I>
  RecordRange<Record> All(const std::tuple_element_t<I, std::tuple<Keys...>>& key) const {
    using Index = KeyIndex<std::tuple_element_t<I, std::tuple<Keys...>>>;
    const auto& index = std::get<I>(indexes_);
    const auto chain = index.Find(key);
    return RecordRange<Record>(
        records_, &index,
        [](const void* ix, std::uint32_t position) { return static_cast<const Index*>(ix)->Next(position); },
        chain.head, chain.count);
  }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.size() == 0; }
  const Record& operator[](std::size_t i) const { return records_[i]; }
  const ChunkedRecords<Record>& records() const { return records_; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  template <std::size_t... I>
  void AddKeys(const Record& record, std::uint32_t position, std::index_sequence<I...>) {
    (std::get<I>(indexes_).Add(std::get<I>(key_of_)(record), position), ...);
  }

  ChunkedRecords<Record> records_;
  std::tuple<Keys (*)(const Record&)...> key_of_;
  std::tuple<KeyIndex<Keys>...> indexes_;
};

}  // namespace quillon
