// Append-only record lists with key indexes.
//
// The catalogue keeps every family of dictionary records in the order the
// dictionary rebuild read them (a new record always goes to the tail) and
// answers lookups the way a walk from the head would: First() is the first
// record appended with a key, All() every record with that key in append
// order. The indexes make those answers cost a hash lookup instead of a walk,
// so a dictionary of a hundred thousand objects builds in seconds.
//
// Records are held by value and own their strings; positions handed out by
// Append stay valid (records are never removed or reordered).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Positions of the records that carry each key, in append order.
template <typename Key>
class KeyIndex {
 public:
  void Add(const Key& key, std::uint32_t position) { map_[key].push_back(position); }
  std::span<const std::uint32_t> Find(const Key& key) const {
    const auto it = map_.find(key);
    if (it == map_.end()) return {};
    return it->second;
  }
  std::size_t key_count() const { return map_.size(); }

 private:
  std::unordered_map<Key, std::vector<std::uint32_t>, RecordKeyHash> map_;
};

// The records of a list at a set of positions.
template <typename Record>
class RecordRange {
 public:
  class iterator {
   public:
    using value_type = Record;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(const std::vector<Record>* records, const std::uint32_t* at) : records_(records), at_(at) {}
    const Record& operator*() const { return (*records_)[*at_]; }
    const Record* operator->() const { return &(*records_)[*at_]; }
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
    const std::vector<Record>* records_ = nullptr;
    const std::uint32_t* at_ = nullptr;
  };

  RecordRange(const std::vector<Record>& records, std::span<const std::uint32_t> positions)
      : records_(&records), positions_(positions) {}
  iterator begin() const { return iterator(records_, positions_.data()); }
  iterator end() const { return iterator(records_, positions_.data() + positions_.size()); }
  std::size_t size() const { return positions_.size(); }
  bool empty() const { return positions_.empty(); }
  const Record& front() const { return (*records_)[positions_.front()]; }
  std::span<const std::uint32_t> positions() const { return positions_; }

 private:
  const std::vector<Record>* records_;
  std::span<const std::uint32_t> positions_;
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
    const auto position = static_cast<std::uint32_t>(records_.size());
    records_.push_back(std::move(record));
    AddKeys(records_.back(), position, std::index_sequence_for<Keys...>{});
    return position;
  }

  // The first record appended with the key of index I, or nullptr.
  template <std::size_t I>
  const Record* First(const std::tuple_element_t<I, std::tuple<Keys...>>& key) const {
    const auto positions = std::get<I>(indexes_).Find(key);
    return positions.empty() ? nullptr : &records_[positions.front()];
  }
  // Every record with the key of index I, in append order.
  template <std::size_t I>
  RecordRange<Record> All(const std::tuple_element_t<I, std::tuple<Keys...>>& key) const {
    return RecordRange<Record>(records_, std::get<I>(indexes_).Find(key));
  }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const Record& operator[](std::size_t i) const { return records_[i]; }
  const std::vector<Record>& records() const { return records_; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  template <std::size_t... I>
  void AddKeys(const Record& record, std::uint32_t position, std::index_sequence<I...>) {
    (std::get<I>(indexes_).Add(std::get<I>(key_of_)(record), position), ...);
  }

  std::vector<Record> records_;
  std::tuple<Keys (*)(const Record&)...> key_of_;
  std::tuple<KeyIndex<Keys>...> indexes_;
};

}  // namespace quillon
