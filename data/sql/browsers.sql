-- Browsers. A '#' in the pattern captures the version; a display name that
-- ends in '#' also counts the browser with that version in its place.
-- Many agents name the browsers they descend from (Chromium browsers say
-- Chrome and Safari, Gecko browsers say Firefox), so each browser comes
-- before the ones its agent also names.

INSERT INTO tblBrowsers (DisplayName, Pattern) VALUES
  -- Office applications that open links, and old Opera, both also say MSIE
  ('Microsoft Office #',      '*Microsoft+Office/#'),
  ('Microsoft Office #',      '*MSOffice+#'),

  -- Chromium browsers with a token of their own
  ('Edge #',                  '*Edg/#'),
  ('Edge #',                  '*EdgA/#'),
  ('Edge #',                  '*EdgiOS/#'),
  ('Edge #',                  '*Edge/#'),
  ('Opera Mini #',            '*Opera+Mini/#'),
  ('Opera #',                 '*OPR/#'),
  ('Opera #',                 '*OPT/#'),
  ('Opera #',                 '*OPiOS/#'),
  ('Opera #',                 '*Opera/9.80*Version/#'),
  ('Opera #',                 '*Opera/#'),
  ('Opera #',                 '*Opera+#'),
  ('Yandex Browser #',        '*YaBrowser/#'),
  ('Samsung Internet #',      '*SamsungBrowser/#'),
  ('UC Browser #',            '*UCBrowser/#'),
  ('UC Browser #',            '*UCWEB/#'),
  ('Vivaldi #',               '*Vivaldi/#'),
  ('Brave #',                 '*Brave/#'),
  ('Naver Whale #',           '*Whale/#'),
  ('Coc Coc #',               '*coc_coc_browser/#'),
  ('Amazon Silk #',           '*Silk/#'),
  ('QQ Browser #',            '*MQQBrowser/#'),
  ('QQ Browser #',            '*QQBrowser/#'),
  ('Baidu Browser #',         '*BIDUBrowser/#'),
  ('Baidu Browser #',         '*baidubrowser/#'),
  ('Mi Browser #',            '*MiuiBrowser/#'),
  ('Huawei Browser #',        '*HuaweiBrowser/#'),
  ('Oculus Browser #',        '*OculusBrowser/#'),
  ('DuckDuckGo #',            '*DuckDuckGo/#'),
  ('Sogou Explorer',          '*MetaSr'),
  ('360 Browser',             '*360SE'),
  ('360 Browser',             '*360EE'),
  ('Maxthon #',               '*Maxthon/#'),
  ('Maxthon #',               '*Maxthon+#'),
  ('Maxthon',                 '*Maxthon'),
  ('Avant Browser',           '*Avant+Browser'),
  ('Sleipnir #',              '*Sleipnir/#'),
  ('Lunascape #',             '*Lunascape/#'),
  ('Puffin #',                '*Puffin/#'),
  ('Electron #',              '*Electron/#'),
  ('Chromium #',              '*Chromium/#'),
  ('Chrome #',                '*CriOS/#'),
  ('Firefox #',               '*FxiOS/#'),
  ('Android WebView #',       '*;+wv)*Chrome/#'),
  ('Chrome #',                '*Chrome/#'),

  -- Gecko browsers, then Firefox and the Mozilla suite
  ('SeaMonkey #',             '*SeaMonkey/#'),
  ('Pale Moon #',             '*PaleMoon/#'),
  ('Waterfox #',              '*Waterfox/#'),
  ('LibreWolf #',             '*LibreWolf/#'),
  ('Basilisk #',              '*Basilisk/#'),
  ('K-Meleon #',              '*K-Meleon/#'),
  ('Camino #',                '*Camino/#'),
  ('Flock #',                 '*Flock/#'),
  ('Iceweasel #',             '*Iceweasel/#'),
  ('IceCat #',                '*IceCat/#'),
  ('Iceape #',                '*Iceape/#'),
  ('Thunderbird #',           '*Thunderbird/#'),
  ('Epiphany #',              '*Epiphany/#'),
  ('Galeon #',                '*Galeon/#'),
  ('Netscape #',              '*Netscape/#'),
  ('Netscape #',              '*Netscape6/#'),
  ('Firefox #',               '*Firefox/#'),
  ('Firebird #',              '*Firebird/#'),
  ('Phoenix #',               '*Phoenix/#'),
  ('Mozilla #',               '*rv:#*Gecko/'),

  -- Internet Explorer; before the WebKit rows, since the Windows Phone
  -- agent also claims Mobile Safari
  ('IE Mobile #',             '*IEMobile/#'),
  ('IE Mobile #',             '*IEMobile+#'),
  ('Internet Explorer #',     '*MSIE+#'),
  ('Internet Explorer #',     '*Trident/*rv:#'),

  -- WebKit and KHTML browsers, then Safari
  ('Konqueror #',             '*Konqueror/#'),
  ('Midori #',                '*Midori/#'),
  ('Falkon #',                '*Falkon/#'),
  ('QupZilla #',              '*QupZilla/#'),
  ('Otter #',                 '*Otter/#'),
  ('OmniWeb #',               '*OmniWeb/#'),
  ('iCab #',                  '*iCab/#'),
  ('iCab #',                  '*iCab+#'),
  ('Shiira #',                '*Shiira/#'),
  ('Dolphin #',               '*Dolfin/#'),
  ('BlackBerry Browser #',    '*BB10;*Version/#'),
  ('BlackBerry Browser #',    '*PlayBook;*Version/#'),
  ('BlackBerry Browser #',    '*BlackBerry;*Version/#'),
  ('BlackBerry Browser #',    '*BlackBerry#/#'),
  ('Nokia Browser #',         '*NokiaBrowser/#'),
  ('Kindle #',                '*Kindle/#'),
  ('Nintendo Browser #',      '*NintendoBrowser/#'),
  ('PlayStation Browser',     '*PlayStation'),
  ('Android Browser #',       '*Android*Version/#*Safari/'),
  ('Safari #',                '*Version/#*Safari/'),
  ('Safari',                  '*Safari/'),
  ('iOS WebView',             '*AppleWebKit/*Mobile/'),

  -- Text browsers
  ('Lynx #',                  '*Lynx/#'),
  ('ELinks #',                '*ELinks/#'),
  ('Links #',                 '*Links+(#'),
  ('w3m #',                   '*w3m/#'),
  ('Dillo #',                 '*Dillo/#'),
  ('NetSurf #',               '*NetSurf/#'),
  ('Amaya #',                 '*amaya/#'),

  -- Media players that fetch from web servers
  ('Windows Media Player #',  '*Windows-Media-Player/#'),
  ('Windows Media Player #',  '*NSPlayer/#'),
  ('VLC #',                   '*VLC/#'),
  ('iTunes #',                '*iTunes/#'),
  ('QuickTime #',             '*QuickTime/#'),
  ('Apple Core Media #',      '*AppleCoreMedia/#'),

  -- Netscape 4 says only Mozilla/4.x; Internet Explorer, which says the
  -- same, adds "compatible" and was matched above
  ('Netscape 4#',             'Mozilla/4#+['),
  ('Netscape 4#',             'Mozilla/4#+(Win'),
  ('Netscape 4#',             'Mozilla/4#+(X11'),
  ('Netscape 4#',             'Mozilla/4#+(Mac');

UPDATE tblBrowsers SET SearchOrder = rowid * 10;
