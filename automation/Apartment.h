#pragma once
// Initialises COM for the current thread for the lifetime of the object (single-threaded
// apartment, as a worker that drives Word needs). Nothing to do on Linux.
namespace automation {

class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  [[maybe_unused]] bool initialised_ = false;
};

}  // namespace automation
