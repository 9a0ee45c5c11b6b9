// The product's update server: the version file and the home page the update question opens.
#include "SiteContext.h"
#include "core/Product.h"

namespace cq::samples {

TReply ServeUpdateServer(const TSiteContext& context, const TRequest& request) {
  if (request.Path == product::VersionFilePath) {
    // Line 2 keeps the hidden job button off.
    return {200, "text/plain", context.Version + "\r\n0\r\n"};
  }
  if (request.Path == "/") {
    TPageText page;
    HtmlHead(page, "Chimequest");
    page.Line("<body><h1>Chimequest</h1><p>Версия " + context.Version + "</p></body>")
        .Line("</html>");
    return HtmlPage(page.Text());
  }
  return NotFound();
}

}  // namespace cq::samples
