// How an integration driver takes the field of the harmonic it integrates, for both field models.
#pragma once

namespace emforce {

/// How a driver takes the field of the harmonic it integrates. Both give the same numbers.
enum class FieldPolicy {
    /// One solve per polar-angle node serves every radial node and every chosen density; with
    /// a fixed rule each distinct node is evaluated once for all of them.
    Shared,
    /// Every density integrated on its own, its harmonic solved again at every node.
    Literal,
};

}  // namespace emforce
