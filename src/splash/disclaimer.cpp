#include "splash/disclaimer.h"

namespace caldrift {

std::string splashDisclaimer() {
    auto blanks = [](std::size_t count) { return std::string(count, ' '); };
    return "Avviso : Non mi assumo nessuna responsabilit\xC3\xA0 per un qualsiasi "
           "malfunzionamento della PSP" +
           blanks(18) + "causato da un utilizzo non appropriato di questa applicazione." +
           blanks(54) +
           "Questo Programma \xC3\xA8 stato testa su svariate PSP e su svariati modelli e "
           "firmware." +
           blanks(23) +
           "In fase di BetaTesing non ha causato nessun danno alle console quindi \xC3\xA8 "
           "sicuro per" +
           blanks(19) + "le vostre." + blanks(1);
}

}  // namespace caldrift
