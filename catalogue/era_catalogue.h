// The compiled-in catalogue of dynasties and their era names (年号), with the
// Gregorian year in which each era began. All texts are UTF-8.
//
// Dynasties are addressed by position 1 to 11 (0 is the placeholder item of the
// dynasty list, not a dynasty); eras by their 0-based position within their
// dynasty, which is also their item position in the era list. Era names repeat
// (within a dynasty and across dynasties), so an era is only ever identified by
// its position, never by its name.
//
// Years are numbered historically: years before the common era are negative,
// 1 BC is -1 and the year after it is 1; there is no year 0.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

namespace catalogue {

struct Era {
    std::string_view name;
    int startYear;
};

struct Dynasty {
    std::string_view name;
    std::span<const Era> eras;
};

// The eleven dynasties in order, 西汉 first and 清 last; index 0 is dynasty 1.
using EraCatalogue = std::array<Dynasty, 11>;
extern const EraCatalogue kEraCatalogue;

// Item 0 of the dynasty list, in front of the eleven dynasty names.
inline constexpr std::string_view kDynastyPlaceholder = "-请选择朝代-";

int dynastyCount();

// The display name of dynasty 1 to 11; empty for any other position.
std::string_view dynastyName(int position);

// A non-owning view of one dynasty's era names, in list order.
class EraNames {
public:
    class iterator {
    public:
        using iterator_concept = std::random_access_iterator_tag;
        // Dereferencing yields a value, not a reference, so the legacy category is input.
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using reference = std::string_view;
        using pointer = void;

        constexpr iterator() = default;
        constexpr explicit iterator(const Era* at) : at_(at) {}

        constexpr std::string_view operator*() const { return at_->name; }
        constexpr std::string_view operator[](difference_type n) const { return at_[n].name; }
        constexpr iterator& operator++() { ++at_; return *this; }
        constexpr iterator operator++(int) { iterator old = *this; ++at_; return old; }
        constexpr iterator& operator--() { --at_; return *this; }
        constexpr iterator operator--(int) { iterator old = *this; --at_; return old; }
        constexpr iterator& operator+=(difference_type n) { at_ += n; return *this; }
        constexpr iterator& operator-=(difference_type n) { at_ -= n; return *this; }
        friend constexpr iterator operator+(iterator it, difference_type n) { return it += n; }
        friend constexpr iterator operator+(difference_type n, iterator it) { return it += n; }
        friend constexpr iterator operator-(iterator it, difference_type n) { return it -= n; }
        friend constexpr difference_type operator-(iterator a, iterator b) { return a.at_ - b.at_; }
        friend constexpr bool operator==(iterator a, iterator b) = default;
        friend constexpr auto operator<=>(iterator a, iterator b) = default;

    private:
        const Era* at_ = nullptr;
    };
    using const_iterator = iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    constexpr EraNames() = default;
    constexpr explicit EraNames(std::span<const Era> eras) : eras_(eras) {}

    constexpr std::size_t size() const { return eras_.size(); }
    constexpr bool empty() const { return eras_.empty(); }
    // Position must be below size(), as with any array.
    constexpr std::string_view operator[](std::size_t position) const { return eras_[position].name; }
    constexpr iterator begin() const { return iterator(eras_.data()); }
    constexpr iterator end() const { return iterator(eras_.data() + eras_.size()); }

private:
    std::span<const Era> eras_;
};

// The era names of dynasty 1 to 11; empty for any other position.
EraNames eraNames(int dynasty);

// The start year of era `era` (0-based) of dynasty `dynasty` (1 to 11); none when
// either position lies outside the catalogue.
std::optional<int> startYear(int dynasty, int era);

}  // namespace catalogue
