#include "host/app/app_dialog.h"

CORE_IMPLEMENT_CREATABLE_CLASS(AppDialog, CoreBaseObject)

char const* AppDialog::get_answer_name(Answer const& answer)
{
    switch (answer) {
    case ANSWER_NONE: return "ANSWER_NONE";
    case ANSWER_OK: return "ANSWER_OK";
    case ANSWER_CANCEL: return "ANSWER_CANCEL";
    case ANSWER_ABORT: return "ANSWER_ABORT";
    case ANSWER_RETRY: return "ANSWER_RETRY";
    case ANSWER_IGNORE: return "ANSWER_IGNORE";
    case ANSWER_YES: return "ANSWER_YES";
    case ANSWER_NO: return "ANSWER_NO";
    }
    return "ANSWER_UNKNOWN";
}

char const* AppDialog::get_style_name(Style const& style)
{
    switch (style) {
    case STYLE_OK: return "STYLE_OK";
    case STYLE_OK_CANCEL: return "STYLE_OK_CANCEL";
    case STYLE_ABORT_RETRY_IGNORE: return "STYLE_ABORT_RETRY_IGNORE";
    case STYLE_YES_NO_CANCEL: return "STYLE_YES_NO_CANCEL";
    case STYLE_YES_NO: return "STYLE_YES_NO";
    case STYLE_RETRY_CANCEL: return "STYLE_RETRY_CANCEL";
    case STYLE_APPLY_TO_ALL: return "STYLE_APPLY_TO_ALL";
    }
    return "STYLE_UNKNOWN";
}

void AppDialog::set_apply_to_all(bool const& apply)
{
    m_value = apply ? (m_value | APPLY_TO_ALL) : (m_value & ~APPLY_TO_ALL);
}
