#pragma once

// One descriptor that turns readable when any of several encoders ends, so a
// wait on window events can wake at the first end among them.
class EncoderEndWatch {
 public:
  EncoderEndWatch();
  ~EncoderEndWatch();
  EncoderEndWatch(const EncoderEndWatch&) = delete;
  EncoderEndWatch& operator=(const EncoderEndWatch&) = delete;

  // An encoder's end descriptor joins or leaves the watch; -1 is ignored.
  void Add(int endDescriptor);
  void Remove(int endDescriptor);

  // -1 when the system offers no such descriptor: the wait then ends by its
  // time-out alone.
  int Descriptor() const { return set_; }

 private:
  int set_;
};
