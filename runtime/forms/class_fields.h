// Class properties as a table: each entry ties a property index to a field of a class's stored
// properties and says how a PropertyValue is read from and written into it. Reading and writing
// class property k is then a look-up instead of a switch per class.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "runtime/forms/unit_class.h"

namespace runtime {

template <typename Properties>
struct ClassField {
  int index;  // the property index (kFirstClassProperty and up)
  PropertyValue (*get)(const Properties&);
  void (*set)(Properties&, const PropertyValue&);
};

namespace class_fields {

inline PropertyValue ValueOf(const std::string& text) {
  return PropertyValue{.bytes = {text.begin(), text.end()}};
}
inline PropertyValue ValueOf(const Bytes& bytes) { return PropertyValue{.bytes = bytes}; }
inline PropertyValue ValueOf(int32_t number) { return PropertyValue{.number = number}; }
inline PropertyValue ValueOf(uint32_t number) { return PropertyValue{.number = number}; }
inline PropertyValue ValueOf(bool logical) { return PropertyValue{.number = logical ? 1 : 0}; }

inline void Store(std::string& text, const PropertyValue& v) { text.assign(v.bytes.begin(), v.bytes.end()); }
inline void Store(Bytes& bytes, const PropertyValue& v) { bytes = v.bytes; }
inline void Store(int32_t& number, const PropertyValue& v) { number = static_cast<int32_t>(v.number); }
inline void Store(uint32_t& number, const PropertyValue& v) { number = static_cast<uint32_t>(v.number); }
inline void Store(bool& logical, const PropertyValue& v) { logical = v.number != 0; }

template <typename>
struct MemberOf;
template <typename Properties, typename Type>
struct MemberOf<Type Properties::*> {
  using Class = Properties;
};

}  // namespace class_fields

// The entry of a field whose value moves as its type says: texts and byte-sets as bytes,
// integers and colours as numbers, logicals as 0 or 1.
template <auto Member>
constexpr ClassField<typename class_fields::MemberOf<decltype(Member)>::Class> Field(int index) {
  using Properties = typename class_fields::MemberOf<decltype(Member)>::Class;
  return {index, [](const Properties& p) { return class_fields::ValueOf(p.*Member); },
          [](Properties& p, const PropertyValue& v) { class_fields::Store(p.*Member, v); }};
}

// The entry of a choice kept within low..high when it is written.
template <auto Member, int32_t Low, int32_t High>
constexpr ClassField<typename class_fields::MemberOf<decltype(Member)>::Class> ChoiceField(int index) {
  using Properties = typename class_fields::MemberOf<decltype(Member)>::Class;
  return {index, [](const Properties& p) { return class_fields::ValueOf(p.*Member); },
          [](Properties& p, const PropertyValue& v) {
            p.*Member = std::clamp(static_cast<int32_t>(v.number), Low, High);
          }};
}

// The entry of class property k, or nullptr.
template <typename Properties>
const ClassField<Properties>* FindField(std::span<const ClassField<Properties>> table, int k) {
  for (const ClassField<Properties>& field : table) {
    if (field.index == k + kFirstClassProperty) return &field;
  }
  return nullptr;
}

// Class property k of stored properties; an unknown k gives an empty value.
template <typename Properties>
PropertyValue GetField(std::span<const ClassField<Properties>> table, const Properties& p, int k) {
  const ClassField<Properties>* field = FindField(table, k);
  return field ? field->get(p) : PropertyValue{};
}

// Writes class property k; false for an unknown k (nothing changes).
template <typename Properties>
bool SetField(std::span<const ClassField<Properties>> table, Properties& p, int k,
              const PropertyValue& value) {
  const ClassField<Properties>* field = FindField(table, k);
  if (!field) return false;
  field->set(p, value);
  return true;
}

}  // namespace runtime
