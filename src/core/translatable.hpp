// SPDX-License-Identifier: MIT
// QT_TRANSLATE_NOOP(scope, text): marks a text core hands to the faces so that Qt's
// translation tools find it, without core depending on Qt. It is the text itself; the
// desktop looks the text up in its translation, under `scope`, when it shows it, and
// the script driver shows it as it is. The same definition as Qt's, so either may come
// first.
#pragma once

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
