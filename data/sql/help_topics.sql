-- The help topics of the reports. Each text is an HTML fragment that the
-- help page puts on a light background under the topic's title; the font
-- is set once, at the end of this file.

INSERT INTO tblhelpfiles (id, helpname, helptext) VALUES
(1, 'General Statistics',
'<p>The key figures of the date range, each as a total and as averages.</p>
<ul>
<li><b>Hits</b> are all requests the web server answered: pages, images, documents, forms, programs and other files.</li>
<li><b>Data transferred</b> is the number of bytes the server sent for those requests.</li>
<li><b>Users</b> are visitors, told apart by their IP address. Each address is counted once per day, so a visitor who comes back on three days counts three times.</li>
<li>A <b>session</b> is one visit: the requests of one visitor with no pause longer than the site''s session time limit (30 minutes unless set otherwise).</li>
<li><b>Time spent</b> is the viewing time of the sessions: the time from each page to the next. The last page of a visit is given the visit''s average page time, and a visit of one page counts 10 seconds.</li>
</ul>
<p>Averages per day divide by the number of days in the date range, including days without visits.</p>'),

(2, 'Sessions',
'<p>The number of sessions (visits) in each part of the date range. A session is the run of one visitor''s requests in which no two follow each other more than the site''s session time limit apart. A new search phrase or a link from a different site also begins a new session.</p>
<p>The time unit follows the length of the date range: hours for a single day, days up to 31 days, weeks up to 62 days, months up to three years and years beyond that. The percentage is each period''s share of the sessions of the whole range.</p>'),

(3, 'Visitors',
'<p>The number of visitors in each part of the date range. A visitor is one IP address: every address that made at least one request is counted once per hour and once per day. The figure for a week, month or year adds up the daily counts.</p>
<p>People who share an address, behind a company proxy for example, count as one visitor; a visitor whose address changes counts more than once.</p>'),

(4, 'Hits',
'<p>The number of requests in each part of the date range.</p>
<ul>
<li><b>Total Hits</b> counts every request: pages, images, documents, forms, programs and other files.</li>
<li><b>HTML Hits</b> counts only web pages (files ending in .htm or .html).</li>
<li><b>Form Hits</b> counts only server-side pages (.asp, .aspx, .cfm, .pl, .cgi and .php).</li>
</ul>
<p>A single page view usually causes several hits, one for the page and one for each picture, style sheet and script on it.</p>'),

(5, 'Bandwidth',
'<p>The amount of data the web server sent for all requested files, in kilobytes (1024 bytes), for each day, week, month or year of the date range. Reports of a single day have no bandwidth chart.</p>
<p>The figures are the bytes that the server wrote into its log; a server that does not log them shows no bandwidth.</p>'),

(6, 'Usage By Hour of the Day',
'<p>All hits of the date range added up by the hour of the day in which they happened, from midnight (0) to 11 PM (23), in the site''s local time. The chart shows at a glance when the site is busiest, for example to plan maintenance for a quiet hour.</p>'),

(7, 'Most Popular Day of the Week',
'<p>All hits of the date range added up by day of the week, Sunday to Saturday. Over a short range one unusual day can dominate; a range of several weeks shows the regular pattern.</p>'),

(8, 'Operating Systems',
'<p>Visits by the visitor''s operating system family (Windows, macOS, Linux, Android, iOS and others), as the browser names it in its user agent. Each visit is counted once, on its first request that carries a user agent. Spiders are not included.</p>
<p><b>Other</b> counts visits whose operating system could not be recognised.</p>'),

(9, 'Operating System Versions',
'<p>Visits by operating system and version, such as Android 14, iOS 17 or macOS 10.15, as the browser states them in its user agent. Windows is shown by its NT version: Windows NT 10.0 for Windows 10 and 11, 6.3 for 8.1, 6.2 for 8, 6.1 for 7, 6.0 for Vista and 5.1 for XP.</p>
<p>Systems whose user agent names no version appear only under Operating Systems.</p>'),

(10, 'Browsers',
'<p>Visits by browser (Chrome, Safari, Firefox, Edge and others), taken from the user agent of the visit''s first request. Browsers built on another one are counted under their own name when their user agent says so.</p>
<p><b>Other</b> counts visits whose browser could not be recognised. Spiders are listed in their own section.</p>'),

(11, 'Browser Name/Version',
'<p>Visits by browser and version number, as the user agent states them, for example Firefox 128.0. Many browsers now report a rounded or fixed version, so several releases can share one line.</p>
<p>Browsers whose user agent carries no version appear only under Browsers.</p>'),

(12, 'Browser Add-Ons',
'<p>Visits by the add-on named in the browser''s user agent: toolbars, browser shells, runtimes, and the apps (such as social networks and messengers) that open links in a browser of their own. One add-on is counted per visit.</p>
<p><b>None</b> counts visits without a recognised add-on.</p>'),

(13, 'Entry Pages',
'<p>The pages on which visits began, ranked by the number of visits that started there. These are the pages that search engines, links and bookmarks lead to, and so the pages that make the first impression of the site.</p>'),

(14, 'Exit Pages',
'<p>The last pages of visits, ranked by the number of visits that ended there. A page that many visits leave from may be a natural end, such as a confirmation page, or a page that fails to lead visitors on.</p>'),

(15, 'Referring Web Sites',
'<p>Other web sites with links that visitors followed to this site, by host name. Links within the site''s own domain are not counted, nor are search engines, which have their own section.</p>
<ul>
<li><b>Hits</b>: the page views of the visits that came from the site.</li>
<li><b>Sessions</b>: the number of those visits.</li>
<li><b>Avg View Time</b>: their average viewing time, in seconds.</li>
</ul>'),

(16, 'Referring Web Pages',
'<p>The full addresses of the pages whose links visitors followed to this site, with the same figures as Referring Web Sites: pages viewed, visits, and the average viewing time of a visit in seconds. This shows which article or listing on another site sends visitors.</p>'),

(17, 'Requested Images',
'<p>The most requested picture and media files (.gif, .jpg, .jpeg, .png, .ico, .bmp, .swf and video files such as .mpg, .avi, .mov and .rm), ranked by hits, with the bytes sent for each. Pictures belong to the page that shows them, so Sessions counts only the visits that began with the file.</p>
<p>Large files that are requested often are the first candidates for making the site faster.</p>'),

(18, 'Requested HTML Pages',
'<p>The most requested web pages (.htm and .html), ranked by hits, with the number of times the page was viewed within visits (Sessions; a page viewed twice in one visit counts twice), the average time visitors spent on it in seconds, and the bytes sent.</p>'),

(19, 'Requested Document Pages',
'<p>The most requested documents and text files: .pdf, .doc, .txt, .xml and .js, ranked by hits, with the number of times each was viewed within visits, the average viewing time in seconds, and the bytes sent.</p>'),

(20, 'Requested Form Pages',
'<p>The most requested server-side pages (.asp, .aspx, .cfm, .pl, .cgi and .php): forms, searches and other pages that a program on the server builds, ranked by hits, with the number of times each was viewed within visits, the average viewing time in seconds and the bytes sent.</p>'),

(21, 'Requested Program Pages',
'<p>The most requested program files (.exe), usually downloads, ranked by hits, with the number of visits that requested each and the bytes sent. A download that is cut off early still counts as a request.</p>'),

(22, 'Requested Other Pages',
'<p>The most requested files of all other kinds: style sheets (.css), addresses without a file extension and files whose extension is not one of the known kinds, ranked by hits, with the number of visits that requested each and the bytes sent.</p>'),

(23, 'Search Engines',
'<p>The search engines that visitors came from, ranked by hits, with the number of visits (sessions) and their average viewing time in seconds. The well-known engines are listed in the system database; others are recognised by the search words in their address.</p>'),

(24, 'Search Engine Phrases',
'<p>What visitors typed into a search engine before they followed its link to this site, as whole phrases in lower case, ranked by the number of visits that came with each phrase. These are the words people use to find the site.</p>'),

(25, 'Search Engine Keywords',
'<p>The single words of the search phrases, each counted on its own and ranked by the number of visits, with their average viewing time in seconds. A word that appears in many different phrases rises here even when no single phrase is frequent.</p>'),

(26, 'Spiders',
'<p>Programs that read the site without a person behind them: search engine crawlers, AI crawlers, feed readers, link previews of social networks and messengers, uptime monitors, scanners and download tools. They are recognised by their user agent and counted once per visit.</p>
<p>Visits of spiders are left out of the browser, operating system, add-on and language sections.</p>'),

(27, 'Languages',
'<p>Visits by the language that the browser names in its user agent, such as en-US for English. Most current browsers send their language in a separate request header that web server logs do not record, so this section mostly reflects older browsers and some mobile ones; visits without a language are not counted here.</p>'),

(28, 'Regions',
'<p>Visitors by the top-level domain of their host name, such as com, net, de or uk, with the hits of those visitors. Host names come from looking up the visitors'' IP addresses; visitors whose address has no name are not counted. Country domains tell roughly where visitors come from, while com and net say little about place.</p>'),

(29, 'Visiting Domains',
'<p>The host names of the visitors'' computers, found by looking up their IP addresses, ranked by hits. Addresses that share a name are added together; an address without a name is listed as the address itself. Addresses that have not been looked up yet are not included.</p>'),

(30, 'Target Pages',
'<p>For each target page of the site (pages that mark a goal, such as an order or a contact form sent), the search phrases of the visits that reached it.</p>
<ul>
<li>The first figure is the number of visits with that phrase that reached the target page.</li>
<li>The percentage is those visits as a share of all visits that came with the phrase.</li>
<li>The last figure is all visits that came with the phrase.</li>
</ul>
<p>This shows which searches bring visitors who go on to do what the site is for.</p>'),

(31, 'Server Errors',
'<p>Requests that the server did not answer with the page itself, by page and status code, ranked by hits:</p>
<ul>
<li>404: page not found, often an old link or a mistyped address;</li>
<li>other 400 codes: refused or malformed requests;</li>
<li>500 codes: errors in the server or its programs;</li>
<li>304: cached, the visitor''s copy was still current;</li>
<li>300: redirected (every redirection code other than 304 is counted as 300);</li>
<li>206: partial content, parts of large files such as video.</li>
</ul>
<p>Which of these classes are counted is set for each site; unless changed, they are 404, the other 400 codes, the 500 codes and 206.</p>'),

(32, 'Paths',
'<p>The most frequent steps from one page to the next within visits. Each entry shows a page in bold with, indented below it, the page that visitors went to next, and how often that step was taken in the date range. Depending on the site''s settings only the most frequent steps of each day are kept.</p>');

UPDATE tblhelpfiles
   SET helptext = '<div style="font-family: arial, sans-serif; font-size: 13px; line-height: 1.4">'
                  || helptext || '</div>';
