#include "view/SignViewHooks.h"

SignViewHooks& ViewHooks() {
    static SignViewHooks hooks;
    return hooks;
}
