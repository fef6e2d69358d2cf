// A non-owning reference to something callable, so that the queries take
// their callers' callbacks without templates or allocation.
#ifndef VESNIK_CONTACTS_FUNCTIONREF_H
#define VESNIK_CONTACTS_FUNCTIONREF_H

#include <memory>
#include <type_traits>
#include <utility>

namespace vesnik {

template <class Signature>
class FunctionRef;

template <class Result, class... Args>
class FunctionRef<Result(Args...)> {
  public:
    // The callable must outlive the reference: pass it as an argument.
    template <class Callable,
              class = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, FunctionRef>>>
    FunctionRef(Callable&& callable)  // NOLINT: implicit, as a parameter type
        : object_(const_cast<void*>(static_cast<void const*>(std::addressof(callable)))),
          call_([](void* object, Args... args) -> Result {
              return (*static_cast<std::remove_reference_t<Callable>*>(object))(
                  std::forward<Args>(args)...);
          }) {}

    Result operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

  private:
    void* object_;
    Result (*call_)(void*, Args...);
};

}  // namespace vesnik

#endif
