#pragma once

namespace tw {

// Where the built-in pages point: the author, the program's web site and
// the two donation services. One place, so that a move of the web site is
// one edit. Mail subjects are added by the pages themselves.
namespace page_links {

inline constexpr const char* AuthorName = "Rowan Ashdown";
inline constexpr const char* AuthorMail = "mailto:rowan@tidewire.app";
inline constexpr const char* QuestionsMail = "mailto:help@tidewire.app";
inline constexpr const char* HomePage = "https://tidewire.app/";
inline constexpr const char* HomePageText = "tidewire.app";
inline constexpr const char* CreditsPage = "https://tidewire.app/credits.html";
// "[PROGTITLE]" in these is filled in with the rest of the page.
inline constexpr const char* PayPalDonation =
    "https://www.paypal.com/donate?business=donate%40tidewire.app&amp;item_name=[PROGTITLE]&amp;currency_code=GBP";
inline constexpr const char* NochexPayment =
    "https://secure.nochex.com/?merchant_id=donate%40tidewire.app&amp;description=[PROGTITLE]";

}  // namespace page_links
}  // namespace tw
